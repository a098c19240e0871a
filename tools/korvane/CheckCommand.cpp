// korvane check: the log replayed as if live (LogReplay), every refusal listed.
#include "tools/korvane/Commands.h"
#include "tools/korvane/LogInput.h"
#include "tools/korvane/LogReplay.h"

#include <cstdio>

namespace korvane {

int runCheck(const LogCommandOptions& options)
{
    LogInput input;
    if (int status = prepareLog(options, input); status != kExitOk)
        return status;
    PluginSession plugin;
    if (int status = openForReplay(options, plugin); status != kExitOk)
        return status;

    plugin.reset(false, input.run);
    std::size_t refused = 0, newCalls = 0, workedBefore = 0;
    std::string listing;
    replayLog(plugin, input.log.qsos, [&](const ReplayStep& step) {
        const LogQso& q = *step.qso;
        switch (step.verdict) {
        case kRefused:
            ++refused;
            listing += "  QSO " + std::to_string(step.position) + " (line " +
                       std::to_string(q.line) + "): " + formatOleDate(q.time, "%Y-%m-%d %H:%M") +
                       "  " + q.call + "  " + q.band + " " + q.mode + "  " + step.message + "\n";
            break;
        case kWorkedBefore:
            ++workedBefore;
            break;
        default:
            ++newCalls;
            break;
        }
    });

    std::printf("Refused by the tour rule: %zu\n%s", refused, listing.c_str());
    std::printf("%zu QSOs checked: %zu refused, %zu new, %zu worked before\n",
                input.log.qsos.size(), refused, newCalls, workedBefore);
    std::fputs(readSummary(options, input).c_str(), stdout);
    return kExitOk;
}

} // namespace korvane
