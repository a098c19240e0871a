#include "tools/logs/LogReplay.h"

#include "tools/host/Cp1251.h"

namespace korvane {

Refusal refusalOf(const ReplayStep& step)
{
    const LogQso& q = *step.qso;
    return Refusal{step.position, q.line, q.time, q.call, q.band, q.mode, step.message};
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
