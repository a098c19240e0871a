#include "tools/judge/Standings.h"

namespace korvane::judge {
namespace {

// Below this many QSOs a log's share of uniques says nothing about it.
constexpr std::uint32_t kFewQsos = 10;

std::uint32_t of(const Judgement& j, std::uint32_t s, Finding f)
{
    return j.results[s].byFinding[static_cast<int>(f)];
}

template <Finding F>
std::string countOf(const Judgement& j, std::uint32_t s)
{
    return std::to_string(of(j, s, F));
}

} // namespace

unsigned uniquePercent(const Judgement& j, std::uint32_t station)
{
    const std::uint32_t qsos = j.logs.stations[station].count;
    return qsos ? static_cast<unsigned>((100ull * of(j, station, Finding::Unique) + qsos / 2) / qsos) : 0;
}

bool mostlyUniques(const Judgement& j, std::uint32_t station)
{
    const std::uint32_t qsos = j.logs.stations[station].count;
    return qsos >= kFewQsos && 2ull * of(j, station, Finding::Unique) > qsos;
}

std::array<std::uint64_t, kFindingCount> contestCounts(const Judgement& j)
{
    std::array<std::uint64_t, kFindingCount> counts{};
    for (const StationResult& r : j.results)
        for (int f = 0; f < kFindingCount; ++f)
            counts[f] += r.byFinding[f];
    return counts;
}

const std::vector<StandingsColumn> kStandingsColumns = {
    {"Claimed", "claimed_score", 8,
     [](const Judgement& j, std::uint32_t s) {
         const auto& claimed = j.logs.stations[s].claimedScore;
         return claimed ? std::to_string(*claimed) : std::string();
     }},
    {"QSOs", "qsos", 6, [](const Judgement& j, std::uint32_t s) { return std::to_string(j.logs.stations[s].count); }},
    {"Valid", "valid", 6, [](const Judgement& j, std::uint32_t s) { return std::to_string(j.results[s].valid); }},
    {"NIL", "nil", 5, [](const Judgement& j, std::uint32_t s) { return std::to_string(j.results[s].nil); }},
    {"B-call", "busted_call", 6, countOf<Finding::BustedCall>},
    {"B-exch", "busted_exchange", 6, countOf<Finding::BustedExchange>},
    {"Unique", "unique", 6, countOf<Finding::Unique>},
    {"Uniq%", "unique_percent", 5, [](const Judgement& j, std::uint32_t s) { return std::to_string(uniquePercent(j, s)); }},
    {"NoLog", "not_checked", 5, countOf<Finding::NoLog>},
    {"Score", "score", 8, [](const Judgement& j, std::uint32_t s) { return std::to_string(j.results[s].score); }},
};

} // namespace korvane::judge
