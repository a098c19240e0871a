// Within one log: lines repeated to the minute, and bands the frequency contradicts.
#include "tools/judge/CheckState.h"

#include "tools/logs/Bands.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

namespace korvane::judge {
namespace {

struct Line {
    std::uint32_t call;
    std::uint8_t band, mode;
    Minute minute;
    std::uint32_t index;
    bool sameQso(const Line& o) const
    {
        return call == o.call && band == o.band && mode == o.mode && minute == o.minute;
    }
    bool operator<(const Line& o) const
    {
        return std::tie(call, band, mode, minute, index) < std::tie(o.call, o.band, o.mode, o.minute, o.index);
    }
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
    std::vector<Line> lines;
    BandFit fits(logs);
    for (const Station& s : logs.stations) {
        lines.clear();
        for (std::uint32_t i = s.first; i < s.first + s.count; ++i) {
            CompactQso& q = logs.qsos[i];
            lines.push_back({q.call, q.band, q.mode, q.minute, i});
            if (!fits(q.freqKHz, q.band))
                raiseFinding(q, Finding::BandMismatch);
        }
        std::sort(lines.begin(), lines.end());
        for (std::size_t k = 1; k < lines.size(); ++k)
            if (lines[k].sameQso(lines[k - 1]))
                raiseFinding(logs.qsos[lines[k].index], Finding::Duplicate);
    }
}

} // namespace korvane::judge
