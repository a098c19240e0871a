#pragma once
// A robot on a fresh data folder with a fixed clock, and small logs to send it.

#include "TempDir.h"
#include "tools/robot/Robot.h"

#include <memory>
#include <string>
#include <vector>

namespace robottest {

using namespace korvane::robot;
namespace judge = korvane::judge;

// The built plug-in (KORVANE_PLUGIN) and the bundled samples folder (KORVANE_BUNDLED).
std::string pluginPath();
std::string bundledFile(const std::string& name);

// A UTC time "2026-11-21 18:30".
Clock::time_point utc(const char* text);

struct TestRobot {
    // Sets up the data folder below a fresh temporary one and opens the robot there.
    explicit TestRobot(const std::string& contestIni = "");
    void reopen();

    TempDir temp;
    std::string data;
    std::string token;
    Clock::time_point now = utc("2026-11-22 10:00");
    judge::ContestDefinition contest;
    std::unique_ptr<Robot> robot;
};

// "QSO:  3520 CW 2026-11-21 HHMM OWN 599 SENT WORKED 599 RECEIVED"
std::string qso(const std::string& own, const char* hhmm, const std::string& worked, int sent, int received,
                unsigned kHz = 3520, const char* mode = "CW");
// A Cabrillo 3.0 log: START-OF-LOG, CONTEST, CALLSIGN, CATEGORY-OPERATOR on lines 1 to 4,
// then the QSO lines from line 5, END-OF-LOG.
std::string cabrillo(const std::string& call, const std::vector<std::string>& qsos,
                     const std::string& category = "SINGLE-OP");
inline constexpr std::size_t kFirstQsoLine = 5;

// The first finding at that level on that line; fails the test when there is none.
const CheckLine& findingOn(const LogCheck& check, CheckLine::Level level, std::size_t line);
bool hasError(const LogCheck& check);

} // namespace robottest
