// Near misses: a NIL whose QSO the other log holds with the same numbers, only further
// off in time than the tolerance. One side typed its time by hand or misread its clock.
// The side whose time its own log shows right (another QSO of the same minutes that its
// partner confirms) keeps the QSO; the other side's time is wrong. Before that, a time
// typed by hand shows itself by standing out of order among the lines around it. When
// neither tells, both stay NILs and both reports name the near miss.
#include "tools/judge/LooseQsos.h"

#include <cctype>
#include <cstdlib>
#include <optional>

namespace korvane::judge {
namespace {

// Another confirmed QSO this near in time shows a station was on the air then.
constexpr int kVouchMinutes = 5;
// The lines above and below a line that bound the time its place in the log allows, and
// the minutes a line may stand out of order by when it was only logged a little late.
constexpr std::uint32_t kPlaceLines = 3;
constexpr int kPlaceSlack = 1;

// The last number in an exchange: "HANS/124" and "AGE 124" both end in 124.
std::optional<unsigned long> lastNumber(const std::string& text)
{
    std::size_t end = text.size();
    while (end > 0 && !std::isdigit(static_cast<unsigned char>(text[end - 1])))
        --end;
    if (end == 0)
        return std::nullopt;
    std::size_t begin = end;
    while (begin > 0 && std::isdigit(static_cast<unsigned char>(text[begin - 1])) && end - begin < 9)
        --begin;
    return std::stoul(text.substr(begin, end - begin));
}

bool sameNumbers(const CheckState& state, std::uint32_t received, std::uint32_t sent)
{
    if (received == sent)
        return true;
    const std::string r = exchangeText(received, state.logs.exchanges), s = exchangeText(sent, state.logs.exchanges);
    const auto a = lastNumber(r), b = lastNumber(s);
    return a && b && *a == *b;
}

// By station, the corrected times of its QSOs matched so far, sorted.
std::vector<std::vector<Minute>> confirmedTimes(const CheckState& state)
{
    std::vector<std::vector<Minute>> times(state.logs.stations.size());
    for (std::uint32_t s = 0; s < times.size(); ++s) {
        const Station& st = state.logs.stations[s];
        for (std::uint32_t i = st.first; i < st.first + st.count; ++i)
            if (!state.unmatched(i))
                times[s].push_back(state.corrected(s, i));
        std::sort(times[s].begin(), times[s].end());
    }
    return times;
}

bool onAirThen(const std::vector<Minute>& times, Minute t)
{
    const auto it = std::lower_bound(times.begin(), times.end(), t - kVouchMinutes);
    return it != times.end() && *it <= t + kVouchMinutes;
}

// Logs are kept in the order of the QSOs: a time earlier than the line before it or
// later than the line after it was not the clock's.
bool outOfOrder(const CheckState& state, std::uint32_t station, std::uint32_t index)
{
    const Station& st = state.logs.stations[station];
    const Minute t = state.logs.qsos[index].minute;
    return (index > st.first && t < state.logs.qsos[index - 1].minute) ||
           (index + 1 < st.first + st.count && t > state.logs.qsos[index + 1].minute);
}

// Whether a time, corrected, fits where the line stands in its log: not before the lines
// just above it, not after those just below it.
bool fitsPlace(const CheckState& state, std::uint32_t station, std::uint32_t index, Minute t)
{
    const Station& st = state.logs.stations[station];
    for (std::uint32_t k = 1; k <= kPlaceLines; ++k) {
        if (index >= st.first + k && state.corrected(station, index - k) > t + kPlaceSlack)
            return false;
        if (index + k < st.first + st.count && state.corrected(station, index + k) < t - kPlaceSlack)
            return false;
    }
    return true;
}

// A line stays where it was written when its time is typed wrong: its own time does not
// fit its place in the log, and the other side's time does.
bool placeGivesAway(const CheckState& state, std::uint32_t station, std::uint32_t index, Minute othersTime)
{
    return !fitsPlace(state, station, index, state.corrected(station, index)) &&
           fitsPlace(state, station, index, othersTime);
}

std::uint32_t nearestMiss(const CheckState& state, const std::vector<Loose>& loose, const Loose& q)
{
    const std::uint32_t worked = state.stationWorked(state.logs.qsos[q.index]);
    if (worked == kNoIndex || worked == q.station)
        return kNoIndex;
    const CompactQso& mine = state.logs.qsos[q.index];
    std::uint32_t best = kNoIndex;
    int bestGap = state.options.nearMiss + 1;
    forEachLooseNear(state, loose, state.ownMatched[q.station], q, state.options.nearMiss, [&](const Loose& other) {
        const CompactQso& theirs = state.logs.qsos[other.index];
        const int gap = std::abs(other.minute - q.minute);
        if (other.station == worked && gap < bestGap && sameNumbers(state, mine.received, theirs.sent) &&
            sameNumbers(state, theirs.received, mine.sent)) {
            bestGap = gap;
            best = other.index;
        }
    });
    return best;
}

} // namespace

void matchNearMisses(CheckState& state, const std::vector<Loose>& loose)
{
    const std::vector<std::vector<Minute>> confirmed = confirmedTimes(state);
    for (const Loose& q : loose) {
        if (!state.unmatched(q.index) || state.result.nearMiss.count(q.index))
            continue;
        const std::uint32_t other = nearestMiss(state, loose, q);
        if (other == kNoIndex)
            continue;
        const std::uint32_t otherStation = state.logs.stationOf(other);
        // The line whose place in its log fits the other side's time and not its own gives
        // its time away; failing that, a line out of order among its neighbours; failing
        // that, the side whose time another confirmed QSO vouches for is right.
        const Minute theirTime = state.corrected(otherStation, other);
        bool mineShown = !placeGivesAway(state, q.station, q.index, theirTime);
        bool theirsShown = !placeGivesAway(state, otherStation, other, q.minute);
        if (mineShown == theirsShown) {
            mineShown = !outOfOrder(state, q.station, q.index);
            theirsShown = !outOfOrder(state, otherStation, other);
        }
        if (mineShown == theirsShown) {
            mineShown = onAirThen(confirmed[q.station], q.minute);
            theirsShown = onAirThen(confirmed[otherStation], theirTime);
        }
        if (mineShown == theirsShown) {
            state.result.nearMiss[q.index] = other;
            state.result.nearMiss[other] = q.index;
            continue;
        }
        const std::uint32_t right = mineShown ? q.index : other, wrong = mineShown ? other : q.index;
        state.pair(right, wrong);
        raiseFinding(state.logs.qsos[wrong], Finding::WrongTime);
        state.logs.qsos[right].flags |= kOtherTimeWrong;
    }
}

} // namespace korvane::judge
