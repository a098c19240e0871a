#include "tools/korvane/CommitteeScore.h"

#include "tools/korvane/HeaderSettings.h"

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

std::string claimLine(int pluginScore, const std::optional<int>& committeeScore,
                      std::size_t refused)
{
    const std::string plugin = std::to_string(pluginScore);
    if (!committeeScore)
        return "The committee's count is unknown: this plug-in cannot check the QSOs at their\n"
               "own times; " + plugin + " holds only if its tour rule refuses none of them\n";
    const std::string committee = std::to_string(*committeeScore);
    if (refused == 0)
        return "Claim " + committee + ": the tour rule refuses no QSO here, so the committee "
               "counts them all\n";
    return "Claim " + committee + ": the committee leaves out the " + std::to_string(refused) +
           (refused == 1 ? " repeat" : " repeats") + " the tour rule refuses;\nthe plug-in's " +
           plugin + " counts " + (refused == 1 ? "it" : "them") + " (korvane check lists " +
           (refused == 1 ? "it" : "them") + ")\n";
}

} // namespace korvane
