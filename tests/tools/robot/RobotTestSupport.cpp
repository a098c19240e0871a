#include "RobotTestSupport.h"

#include "tools/judge/ContestDefinitionFile.h"

#include <doctest/doctest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace robottest {

std::string pluginPath()
{
    const char* path = std::getenv("KORVANE_PLUGIN");
    return path ? path : "";
}

std::string bundledFile(const std::string& name)
{
    const char* dir = std::getenv("KORVANE_BUNDLED");
    REQUIRE_MESSAGE(dir, "KORVANE_BUNDLED is not set");
    return readFileBytes(std::filesystem::path(dir) / name);
}

Clock::time_point utc(const char* text)
{
    std::tm tm{};
    REQUIRE(std::sscanf(text, "%d-%d-%d %d:%d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour, &tm.tm_min) == 5);
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    return Clock::from_time_t(timegm(&tm));
}

TestRobot::TestRobot(const std::string& contestIni) : temp(false)
{
    data = (temp.path() / "data").string();
    contest = judge::korvaneContest();
    if (!contestIni.empty()) {
        std::string error;
        REQUIRE_MESSAGE(judge::readContestDefinition(contestIni, contest, &error), error);
    }
    std::string error;
    REQUIRE_MESSAGE(Robot::init(data, &token, &error), error);
    reopen();
}

void TestRobot::reopen()
{
    robot.reset(); // the old one's worker stops before the new one opens the database
    robot = std::make_unique<Robot>();
    RobotConfig config;
    config.dataDir = data;
    config.contest = contest;
    config.plugin.path = pluginPath();
    config.now = [this] { return now; };
    std::string error;
    REQUIRE_MESSAGE(robot->open(config, &error), error);
}

std::string qso(const std::string& own, const char* hhmm, const std::string& worked, int sent, int received,
                unsigned kHz, const char* mode)
{
    char line[160];
    std::snprintf(line, sizeof line, "QSO: %5u %-2s 2026-11-21 %s %-10s 599 %03d %-10s 599 %03d", kHz, mode, hhmm,
                  own.c_str(), sent, worked.c_str(), received);
    return line;
}

std::string cabrillo(const std::string& call, const std::vector<std::string>& qsos, const std::string& category)
{
    std::string text = "START-OF-LOG: 3.0\nCONTEST: KORVANE\nCALLSIGN: " + call + "\nCATEGORY-OPERATOR: " + category + "\n";
    for (const std::string& q : qsos)
        text += q + "\n";
    return text + "END-OF-LOG:\n";
}

const CheckLine& findingOn(const LogCheck& check, CheckLine::Level level, std::size_t line)
{
    for (const CheckLine& l : check.lines)
        if (l.level == level && l.line == line)
            return l;
    std::string all;
    for (const CheckLine& l : check.lines)
        all += std::to_string(l.line) + ": " + l.message + "\n";
    FAIL("no finding on line " << line << "; the findings:\n" << all);
    static CheckLine none;
    return none;
}

bool hasError(const LogCheck& check)
{
    for (const CheckLine& l : check.lines)
        if (l.level == CheckLine::Level::Error)
            return true;
    return false;
}

} // namespace robottest
