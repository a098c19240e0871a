#include "tools/robot/LogsOrder.h"

#include <algorithm>
#include <tuple>

namespace korvane::robot {
namespace {

const struct {
    const char* name;
    LogsOrder::Key key;
} kKeys[] = {{"call", LogsOrder::Key::Call},
             {"category", LogsOrder::Key::Category},
             {"qsos", LogsOrder::Key::Qsos},
             {"score", LogsOrder::Key::Score},
             {"time", LogsOrder::Key::Time}};

// Negative, zero or positive as a sorts before, with or after b by the key alone.
int compareBy(LogsOrder::Key key, const ReceivedLog& a, const ReceivedLog& b)
{
    switch (key) {
    case LogsOrder::Key::Category: return a.category.compare(b.category);
    case LogsOrder::Key::Qsos: return a.qsos < b.qsos ? -1 : a.qsos > b.qsos;
    case LogsOrder::Key::Score: return a.claimedScore < b.claimedScore ? -1 : a.claimedScore > b.claimedScore;
    case LogsOrder::Key::Time: return a.latestUtc.compare(b.latestUtc);
    case LogsOrder::Key::Call: break;
    }
    return a.call.compare(b.call);
}

} // namespace

LogsOrder logsOrder(const std::string& sort, const std::string& order)
{
    LogsOrder result;
    for (const auto& k : kKeys)
        if (sort == k.name)
            result.key = k.key;
    result.descending = order == "desc";
    return result;
}

const char* logsOrderKeyName(LogsOrder::Key key)
{
    for (const auto& k : kKeys)
        if (k.key == key)
            return k.name;
    return "call";
}

void sortLogs(std::vector<ReceivedLog>& logs, const LogsOrder& order)
{
    std::stable_sort(logs.begin(), logs.end(), [&](const ReceivedLog& a, const ReceivedLog& b) {
        int c = compareBy(order.key, a, b);
        if (order.descending)
            c = -c;
        return c != 0 ? c < 0 : a.call < b.call;
    });
}

} // namespace korvane::robot
