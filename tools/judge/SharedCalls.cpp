#include "tools/judge/SharedCalls.h"

#include <algorithm>
#include <filesystem>
#include <tuple>

namespace korvane::judge {
namespace {

// What makes two lines one QSO for telling a resubmission: who, where and when.
using QsoKey = std::tuple<std::uint32_t, std::uint8_t, std::uint8_t, Minute>;

std::vector<QsoKey> keysOf(const ContestLogs& logs, const Station& s)
{
    std::vector<QsoKey> keys;
    keys.reserve(s.count);
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i) {
        const CompactQso& q = logs.qsos[i];
        keys.emplace_back(q.call, q.band, q.mode, q.minute);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Whether the logs nest, smallest in the next: one log sent again, QSOs added or taken out.
bool oneLogSentAgain(const ContestLogs& logs, std::vector<std::uint32_t> group)
{
    std::sort(group.begin(), group.end(), [&](std::uint32_t a, std::uint32_t b) {
        return logs.stations[a].count < logs.stations[b].count;
    });
    for (std::size_t k = 1; k < group.size(); ++k) {
        const std::vector<QsoKey> small = keysOf(logs, logs.stations[group[k - 1]]);
        const std::vector<QsoKey> large = keysOf(logs, logs.stations[group[k]]);
        if (!std::includes(large.begin(), large.end(), small.begin(), small.end()))
            return false;
    }
    return true;
}

bool namesFile(const std::string& choice, const std::string& file)
{
    return choice == file || choice == std::filesystem::path(file).filename().string();
}

std::string fileList(const ContestLogs& logs, const std::vector<std::uint32_t>& group)
{
    std::string list;
    for (std::uint32_t s : group)
        list += (list.empty() ? "" : ", ") + logs.stations[s].file;
    return list;
}

// The station judged for the call, or kNoIndex; sets each other one's reason.
std::uint32_t settle(const ContestLogs& logs, const std::vector<std::uint32_t>& group,
                     const std::vector<long long>& fileTimes,
                     const std::map<std::string, std::string>& chosen, std::string& reason)
{
    const std::string& call = logs.stations[group.front()].call;
    if (const auto choice = chosen.find(call); choice != chosen.end()) {
        for (std::uint32_t s : group)
            if (namesFile(choice->second, logs.stations[s].file)) {
                reason = "another log claims " + call + "; the committee chose " + logs.stations[s].file;
                return s;
            }
        reason = "--choose " + call + "=" + choice->second + " names none of the logs that claim " +
                 call + " (" + fileList(logs, group) + ")";
        return kNoIndex;
    }
    if (oneLogSentAgain(logs, group)) {
        const std::uint32_t newest = *std::max_element(
            group.begin(), group.end(), [&](std::uint32_t a, std::uint32_t b) {
                return std::make_pair(fileTimes[a], logs.stations[a].count) <
                       std::make_pair(fileTimes[b], logs.stations[b].count);
            });
        reason = "an older copy of " + call + "'s log (the same QSOs, more or fewer): " +
                 logs.stations[newest].file + " is newer and judged";
        return newest;
    }
    reason = std::to_string(group.size()) + " logs with different QSOs claim " + call + " (" +
             fileList(logs, group) + "), so none is judged: choose one with --choose " + call + "=FILE";
    return kNoIndex;
}

// Keeps the stations marked, their QSOs moved down to close the gaps.
void keepOnly(ContestLogs& logs, const std::vector<bool>& keep)
{
    std::deque<CompactQso> qsos;
    std::vector<Station> stations;
    for (std::size_t s = 0; s < logs.stations.size(); ++s) {
        if (!keep[s])
            continue;
        Station station = std::move(logs.stations[s]);
        const std::uint32_t first = station.first;
        station.first = static_cast<std::uint32_t>(qsos.size());
        qsos.insert(qsos.end(), logs.qsos.begin() + first, logs.qsos.begin() + first + station.count);
        stations.push_back(std::move(station));
    }
    logs.qsos = std::move(qsos);
    logs.stations = std::move(stations);
}

} // namespace

void settleSharedCalls(ContestLogs& logs, const std::vector<long long>& fileTimes,
                       const std::map<std::string, std::string>& chosen)
{
    std::map<std::uint32_t, std::vector<std::uint32_t>> byCall;
    for (std::uint32_t s = 0; s < logs.stations.size(); ++s)
        byCall[logs.stations[s].callId].push_back(s);
    std::vector<bool> keep(logs.stations.size(), true);
    bool anyShared = false;
    for (const auto& [call, group] : byCall) {
        if (group.size() < 2)
            continue;
        anyShared = true;
        std::string reason;
        const std::uint32_t judged = settle(logs, group, fileTimes, chosen, reason);
        for (std::uint32_t s : group) {
            if (s == judged)
                continue;
            keep[s] = false;
            logs.unreadable.push_back({logs.stations[s].file, logs.stations[s].call, reason, 0});
        }
    }
    if (anyShared)
        keepOnly(logs, keep);
}

} // namespace korvane::judge
