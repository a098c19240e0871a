#include "tools/korvane/LogReplay.h"

#include "contract/SettingsKeys.h"
#include "tools/korvane/logs/Cp1251.h"
#include "tools/korvane/HeaderSettings.h"
#include "tools/korvane/LogInput.h"

#include <cstdio>

namespace korvane {

Refusal refusalOf(const ReplayStep& step)
{
    const LogQso& q = *step.qso;
    return Refusal{step.position, q.line, q.time, q.call, q.band, q.mode, step.message};
}

int openForReplay(const LogCommandOptions& options, PluginSession& plugin)
{
    if (!openWithTourClock(plugin, options.plugin, options.workdir))
        return kExitFailed;
    if (!keepWindowClosed())
        std::fprintf(stderr, "korvane: warning: cannot write %s\n", settings::kFile);
    return kExitOk;
}

void replayLog(PluginSession& plugin, const std::vector<LogQso>& qsos,
               const std::function<void(const ReplayStep&)>& onStep)
{
    ReplayStep step;
    for (const LogQso& q : qsos) {
        ++step.position;
        step.qso = &q;
        plugin.setTourClock(&q.time);
        std::string message;
        step.verdict = plugin.check(q, &message);
        step.message = step.verdict == kRefused ? cp1251ToUtf8(message) : std::string();
        plugin.add(q);
        onStep(step);
    }
    plugin.setTourClock(nullptr);
}

} // namespace korvane
