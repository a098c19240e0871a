#pragma once
// The plug-in's own rules applied to each submitted log, through its exports only:
// the tour check as `korvane check` replays a log, and the score of the QSOs that
// survived the cross-check as `korvane score` feeds them. So the committee's result
// and what the operator's plug-in says can never disagree.

#include "tools/korvane/PluginSession.h"
#include "tools/korvane/judge/ContestLogs.h"

#include <functional>
#include <string>

namespace korvane::judge {

class PluginJudge {
public:
    // Loads the plug-in and makes workFolder (created when missing) the current
    // directory, where the plug-in keeps its settings. False with the message printed.
    bool open(const PluginChoice& plugin, const std::string& workFolder);

    // The station's QSOs that the tour rule could refuse (another QSO of the log has
    // the same call, band, mode and half hour), in file order, through CheckCall0 at
    // its logged time and then AddData0; each refused QSO becomes a tour repeat.
    void findTourRepeats(ContestLogs& logs, std::uint32_t station, Minute start, Minute end);

    // The plug-in's score (GetResult0) after a reset and AddData0 of each QSO that
    // counts, in file order.
    int score(const ContestLogs& logs, std::uint32_t station, Minute start, Minute end,
              const std::function<bool(const CompactQso&)>& counts);

private:
    void reset(const ContestLogs& logs, std::uint32_t station, Minute start, Minute end);

    PluginSession session_;
};

} // namespace korvane::judge
