#pragma once
// The plug-in's own rules applied to each submitted log, through its exports only: the
// tour check as `korvane check` asks it, and the score as `korvane score` reads it. So
// the committee's result and what the operator's plug-in says can never disagree.

#include "tools/host/PluginSession.h"
#include "tools/judge/ContestLogs.h"

#include <functional>
#include <string>

namespace korvane::judge {

class PluginJudge {
public:
    // Loads the plug-in and makes workFolder (created when missing) the current
    // directory, where the plug-in keeps its settings. False with the message printed.
    bool open(const PluginChoice& plugin, const std::string& workFolder, std::string* error);

    // One run of the plug-in for the station's log: a reset; then, in file order, each
    // QSO that the tour rule could refuse (another QSO of the log has the same call,
    // band, mode and half hour) through CheckCall0 at its logged time and AddData0, and
    // each other QSO that counts through AddData0; a refused QSO becomes a tour repeat.
    // Then RemoveData0 takes out the checked QSOs that do not count, as the host does
    // when the operator deletes a QSO, and GetResult0 gives the score of the rest.
    // counts() is asked after the check.
    int judgeLog(ContestLogs& logs, std::uint32_t station, Minute start, Minute end,
                 const std::function<bool(const CompactQso&)>& counts);

private:
    void reset(const ContestLogs& logs, std::uint32_t station, Minute start, Minute end);

    PluginSession session_;
};

// The QSOs of the station's log that the tour rule could refuse, in file order.
std::vector<std::uint32_t> tourCandidates(const ContestLogs& logs, std::uint32_t station);

} // namespace korvane::judge
