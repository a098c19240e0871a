// Within one log: lines repeated to the minute, and bands the frequency contradicts.
#include "tools/judge/CheckState.h"
#include "tools/judge/Meanwhile.h"

#include "tools/logs/Bands.h"

#include <algorithm>
#include <unordered_map>

namespace korvane::judge {
namespace {

// A QSO line as two numbers: what makes it the same QSO (call, band, mode; then the
// minute), and where it stands, so that sorting compares two integers, not five fields.
struct Line {
    std::uint64_t what; // call, band, mode
    std::uint64_t when; // minute, then index
    static Line of(const CompactQso& q, std::uint32_t index)
    {
        return {std::uint64_t{q.call} << 16 | std::uint64_t{q.band} << 8 | q.mode,
                std::uint64_t{static_cast<std::uint32_t>(q.minute)} << 32 | index};
    }
    std::uint32_t index() const { return static_cast<std::uint32_t>(when); }
    bool sameQso(const Line& o) const { return what == o.what && (when >> 32) == (o.when >> 32); }
    bool operator<(const Line& o) const { return what != o.what ? what < o.what : when < o.when; }
};

// Whether a frequency lies on a band, asked once per frequency and band.
class BandFit {
public:
    explicit BandFit(const ContestLogs& logs) : logs_(logs) {}
    bool operator()(std::uint32_t kHz, std::uint8_t band)
    {
        const auto [it, added] = onBand_.try_emplace(std::uint64_t{kHz} << 8 | band, false);
        if (added) {
            const auto b = bandFromKHz(kHz);
            it->second = b && *b == logs_.bands.text(band);
        }
        return it->second;
    }

private:
    const ContestLogs& logs_;
    std::unordered_map<std::uint64_t, bool> onBand_;
};

} // namespace

void checkEachLog(CheckState& state)
{
    ContestLogs& logs = state.logs;
    // Each log on its own: two halves of the stations touch no QSO in common.
    inTwoHalves(state.options.twoThreads, [&](unsigned half) {
        const StationRange mine = stationHalf(logs, half);
        std::vector<Line> lines;
        BandFit fits(logs);
        for (std::uint32_t station = mine.first; station < mine.last; ++station) {
            const Station& s = logs.stations[station];
            lines.clear();
            for (std::uint32_t i = s.first; i < s.first + s.count; ++i) {
                CompactQso& q = logs.qsos[i];
                lines.push_back(Line::of(q, i));
                if (!fits(q.freqKHz, q.band))
                    raiseFinding(q, Finding::BandMismatch);
            }
            std::sort(lines.begin(), lines.end());
            for (std::size_t k = 1; k < lines.size(); ++k)
                if (lines[k].sameQso(lines[k - 1]))
                    raiseFinding(logs.qsos[lines[k].index()], Finding::Duplicate);
        }
    });
}

} // namespace korvane::judge
