#pragma once
// Small contests written out as Cabrillo text, read the way the judge reads logs.

#include "tools/judge/ContestLogs.h"
#include "tools/judge/CrossCheck.h"
#include "tools/judge/Judgement.h"

#include "TestEnvironment.h"

#include <string>
#include <utility>
#include <vector>

namespace judgetest {

using namespace korvane::judge;

// "QSO:  3520 CW 2026-11-21 HHMM OWN 599 SENT WORKED 599 RECEIVED"
std::string qso(const std::string& own, const char* hhmm, const std::string& worked, int sent,
                int received, unsigned kHz = 3520, const char* mode = "CW");

// A Cabrillo 3.0 log from CALL with the QSO lines; header lines come first (line 1
// START-OF-LOG, ..., line 5 CLAIMED-SCORE), so the first QSO stands on line 6.
std::string cabrillo(const std::string& call, const std::vector<std::string>& qsos,
                     const std::string& category = "SINGLE-OP");
inline constexpr unsigned kFirstQsoLine = 6;

struct NamedLog {
    std::string call;
    std::vector<std::string> qsos;
};

// The logs read and added in the order given; every one must be taken.
ContestLogs contestOf(const std::vector<NamedLog>& logs);

// A finding a cross-check must give one QSO.
struct Expect {
    const char* station;
    unsigned qso; // from 0, in the station's log
    Finding finding;
};

// What a QSO that is not listed must be: confirmed, or "no log" where the worked call,
// as written, sent none (a call written without the suffix of its log is confirmed).
enum class Unlisted { Confirmed, ConfirmedOrNoLog };

// Cross-checks the logs and compares every QSO's finding with the one expected.
void checkFindings(const std::vector<NamedLog>& named, const CheckOptions& options,
                   const std::vector<Expect>& expected, Unlisted unlisted = Unlisted::Confirmed);

// The KORVANE 2026 period.
JudgeRules korvaneRules();

// The NTC QSO Party: a name and a member number ("NM", no member, when there is none),
// with the words its participants add ("NTC 44", "2 POINTS"); a missing name is no bust.
ContestDefinition ntcContest();

// The station whose log claims the call, and the QSO on a line of its file; each fails
// the test when there is none.
std::uint32_t stationNamed(const Judgement& j, const std::string& call);
std::uint32_t qsoOnLine(const Judgement& j, const std::string& call, std::uint32_t line);

// The built plug-in (KORVANE_PLUGIN), empty when the variable is not set.
std::string pluginPath();

} // namespace judgetest
