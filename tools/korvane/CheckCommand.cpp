// korvane check: the log replayed as if live. Before each AddData0, CheckCall0 is asked
// at the QSO's own time (the plug-in's clock override), and every refusal is listed.
#include "tools/korvane/Commands.h"
#include "tools/korvane/Cp1251.h"
#include "tools/korvane/LogInput.h"

#include <cstdio>

namespace korvane {

int runCheck(const LogCommandOptions& options)
{
    LogInput input;
    if (int status = prepareLog(options, input); status != kExitOk)
        return status;
    PluginSession plugin;
    std::string error;
    if (!plugin.load(options.plugin, &error) || !enterWorkFolder(options.workdir, &error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return kExitFailed;
    }
    if (!plugin.hasTourClock()) {
        std::fprintf(stderr, "korvane: %s has no %s export: it cannot check a log at the QSOs' "
                             "own times\n", plugin.path().c_str(), host::kSetTourClock);
        return kExitFailed;
    }
    if (!keepWindowClosed())
        std::fprintf(stderr, "korvane: warning: cannot write Plugins\\MOLTA.ini\n");

    plugin.reset(false, input.run);
    std::size_t refused = 0, newCalls = 0, workedBefore = 0, position = 0;
    std::string listing;
    for (const LogQso& q : input.log.qsos) {
        ++position;
        plugin.setTourClock(&q.time);
        std::string message;
        switch (plugin.check(q, &message)) {
        case 0:
            ++refused;
            listing += "  QSO " + std::to_string(position) + " (line " + std::to_string(q.line) +
                       "): " + formatOleDate(q.time, "%Y-%m-%d %H:%M") + "  " + q.call + "  " +
                       q.band + " " + q.mode + "  " + cp1251ToUtf8(message) + "\n";
            break;
        case 1:
            ++workedBefore;
            break;
        default:
            ++newCalls;
            break;
        }
        plugin.add(q);
    }
    plugin.setTourClock(nullptr);

    std::printf("Refused by the tour rule: %zu\n%s", refused, listing.c_str());
    std::printf("%zu QSOs checked: %zu refused, %zu new, %zu worked before\n",
                input.log.qsos.size(), refused, newCalls, workedBefore);
    std::fputs(readSummary(options, input.log).c_str(), stdout);
    return kExitOk;
}

} // namespace korvane
