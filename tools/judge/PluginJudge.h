#pragma once
// The plug-in's own rules applied to each submitted log, through its exports only: the
// tour check as `korvane check` asks it, and the score as `korvane score` reads it. So
// the committee's result and what the operator's plug-in says can never disagree.

#include "tools/host/PluginSession.h"
#include "tools/judge/ContestLogs.h"

#include <functional>
#include <string>
#include <vector>

namespace korvane::judge {

class PluginJudge {
public:
    using Counts = std::function<bool(const CompactQso&)>;

    // Loads the plug-in and makes workFolder (created when missing) the current
    // directory, where the plug-in keeps its settings. False with the message printed.
    bool open(const PluginChoice& plugin, const std::string& workFolder, std::string* error);

    // The tour check of the station's log: after a reset, in file order, each QSO that
    // an earlier one could make a repeat (the same call, band and mode in the same half
    // hour of the day) through CheckCall0 at its logged time, and each that a later one
    // could be a repeat of through AddData0 whatever the answer, as live. Only QSOs of one
    // such group refuse each other, so the rest of the log need not be fed. Appends the
    // refused QSOs' indices to `refused` and changes no finding, so the cross-check may
    // run on another thread meanwhile.
    void checkTour(const ContestLogs& logs, std::uint32_t station, Minute start, Minute end,
                   std::vector<std::uint32_t>& refused);

    // The plug-in's score of the station's QSOs that count (counts() is asked of each):
    // after a reset, each through AddData0 in file order, then GetResult0.
    int score(const ContestLogs& logs, std::uint32_t station, Minute start, Minute end, const Counts& counts);

    // Both for one log: the refused QSOs become tour repeats before the score.
    int judgeLog(ContestLogs& logs, std::uint32_t station, Minute start, Minute end, const Counts& counts);

private:
    void reset(const ContestLogs& logs, std::uint32_t station, Minute start, Minute end);

    PluginSession session_;
};

// A QSO of a station's log that shares call, band, mode and tour with another: checked
// when an earlier one shares them, added when a later one does.
struct TourStep {
    std::uint32_t index;
    bool check, add;
};
std::vector<TourStep> tourSteps(const ContestLogs& logs, std::uint32_t station); // in file order

// The QSOs the tour check refused become tour repeats, unless the cross-check found
// something that takes precedence.
void markTourRepeats(ContestLogs& logs, const std::vector<std::uint32_t>& refused);

} // namespace korvane::judge
