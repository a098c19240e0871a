#include "tools/logs/CommitteeScore.h"

namespace korvane {

int scoreWithoutRefused(PluginSession& plugin, const ContestRun& run,
                        const std::vector<LogQso>& qsos, const std::vector<Refusal>& refusals)
{
    std::vector<bool> refused(qsos.size() + 1, false);
    for (const Refusal& r : refusals)
        if (r.position < refused.size())
            refused[r.position] = true;
    // A reset without a report flips the window setting; it must find it set.
    keepWindowClosed();
    plugin.reset(false, run);
    for (std::size_t i = 0; i < qsos.size(); ++i)
        if (!refused[i + 1])
            plugin.add(qsos[i]);
    int score = 0;
    plugin.result(&score);
    return score;
}

} // namespace korvane
