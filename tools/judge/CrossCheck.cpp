#include "tools/judge/CrossCheck.h"

#include "tools/judge/SentExchange.h"
#include "tools/logs/Bands.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <tuple>
#include <unordered_map>

namespace korvane::judge {
namespace {

// Far enough for clocks a quarter of an hour off; the tours keep the same pair's QSOs
// on one band and mode at least a few minutes apart, and only mutual nearest pairs count.
constexpr int kOffsetWindow = 20;
constexpr std::uint32_t kMinOffsetSamples = 5;
constexpr int kOffsetRounds = 3;

constexpr unsigned kCallBits = 24;

// A QSO between two submitted stations, filed under the pair, band and mode.
struct PairEntry {
    std::uint64_t key;
    std::uint32_t station;
    std::uint32_t index;
    Minute minute; // as logged
};

std::uint64_t pairKey(std::uint32_t a, std::uint32_t b, std::uint8_t band, std::uint8_t mode)
{
    const std::uint64_t lo = std::min(a, b), hi = std::max(a, b);
    return lo << (64 - kCallBits) | hi << (64 - 2 * kCallBits) | std::uint64_t{band} << 8 | mode;
}

bool setAtLeast(CompactQso& q, Finding f)
{
    if (f <= q.finding)
        return false;
    q.finding = f;
    return true;
}

bool portableOf(const std::string& longer, const std::string& shorter)
{
    if (longer.size() < shorter.size() + 2 || longer.compare(0, shorter.size(), shorter) != 0)
        return false;
    const std::size_t tail = longer.size() - shorter.size();
    return longer[shorter.size()] == '/' && tail <= 4 &&
           longer.find('/', shorter.size() + 1) == std::string::npos;
}

class Checker {
public:
    Checker(ContestLogs& logs, const CheckOptions& options) : logs_(logs), options_(options)
    {
        if (logs.calls.size() >= (std::size_t{1} << kCallBits))
            throw std::runtime_error("too many distinct callsigns to cross-check");
        logs.indexStations();
        result_.partner.assign(logs.qsos.size(), kNoIndex);
        result_.offsets.assign(logs.stations.size(), ClockOffset{});
    }

    CrossCheckResult run()
    {
        checkEachLog();
        buildPairs();
        // Each round takes the partners' clocks from the one before; it settles in two.
        for (int round = 0; round < kOffsetRounds && estimateOffsets(); ++round) {
        }
        matchPairs();
        findBustedCalls();
        judgeExchanges();
        classifyUnmatched();
        checkPeriod();
        return std::move(result_);
    }

private:
    Minute corrected(std::uint32_t station, std::uint32_t index) const
    {
        return logs_.qsos[index].minute - result_.offsets[station].minutes;
    }

    bool eligible(const CompactQso& q) const
    {
        return q.finding != Finding::Duplicate && q.finding != Finding::BandMismatch;
    }

    // Within one log: lines repeated to the minute, and bands the frequency contradicts.
    void checkEachLog()
    {
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
        std::vector<Line> lines;
        // Whether a frequency lies on a band, asked once per frequency and band.
        std::unordered_map<std::uint64_t, bool> onBand;
        auto fits = [&](std::uint32_t kHz, std::uint8_t band) {
            const auto [it, added] = onBand.try_emplace(std::uint64_t{kHz} << 8 | band, false);
            if (added) {
                const auto b = bandFromKHz(kHz);
                it->second = b && *b == logs_.bands.text(band);
            }
            return it->second;
        };
        for (const Station& s : logs_.stations) {
            lines.clear();
            for (std::uint32_t i = s.first; i < s.first + s.count; ++i) {
                CompactQso& q = logs_.qsos[i];
                lines.push_back({q.call, q.band, q.mode, q.minute, i});
                if (!fits(q.freqKHz, q.band))
                    setAtLeast(q, Finding::BandMismatch);
            }
            std::sort(lines.begin(), lines.end());
            for (std::size_t k = 1; k < lines.size(); ++k)
                if (lines[k].sameQso(lines[k - 1]))
                    setAtLeast(logs_.qsos[lines[k].index], Finding::Duplicate);
        }
    }

    void buildPairs()
    {
        pairs_.reserve(logs_.qsos.size());
        for (std::uint32_t s = 0; s < logs_.stations.size(); ++s) {
            const Station& st = logs_.stations[s];
            for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
                const CompactQso& q = logs_.qsos[i];
                const std::uint32_t other = logs_.stationOfCall[q.call];
                if (other != kNoIndex && other != s && eligible(q))
                    pairs_.push_back({pairKey(st.callId, q.call, q.band, q.mode), s, i, q.minute});
            }
        }
        // Indices grow with the station, so within a pair this is station, then file order.
        std::sort(pairs_.begin(), pairs_.end(), [](const PairEntry& a, const PairEntry& b) {
            return a.key != b.key ? a.key < b.key : a.index < b.index;
        });
    }

    // One station's QSOs in a group, at its corrected times.
    struct Side {
        std::uint32_t index;
        Minute minute;
    };

    // Calls each(stationA, sideA, stationB, sideB) for every pair, band and mode that
    // both logs hold, each side in file order, times corrected by the offsets so far.
    template <typename Each>
    void forEachGroup(Each each)
    {
        std::vector<Side> a, b;
        for (std::size_t g = 0; g < pairs_.size();) {
            std::size_t end = g;
            while (end < pairs_.size() && pairs_[end].key == pairs_[g].key)
                ++end;
            a.clear();
            b.clear();
            for (std::size_t k = g; k < end; ++k) {
                const PairEntry& e = pairs_[k];
                (e.station == pairs_[g].station ? a : b)
                    .push_back({e.index, e.minute - result_.offsets[e.station].minutes});
            }
            if (!b.empty())
                each(pairs_[g].station, a, pairs_[end - 1].station, b);
            g = end;
        }
    }

    // One round: every station's offset from its mutual nearest QSOs with each partner,
    // the partner's time taken as corrected by the previous round. True when an offset
    // changed.
    bool estimateOffsets()
    {
        constexpr int kBins = 2 * kOffsetWindow + 1;
        std::vector<std::uint32_t> histogram(logs_.stations.size() * kBins, 0);
        auto nearest = [](const Side& from, const std::vector<Side>& to) {
            std::size_t best = to.size();
            int bestGap = kOffsetWindow + 1;
            for (std::size_t k = 0; k < to.size(); ++k) {
                const int gap = std::abs(from.minute - to[k].minute);
                if (gap < bestGap) {
                    bestGap = gap;
                    best = k;
                }
            }
            return best;
        };
        forEachGroup([&](std::uint32_t sa, const std::vector<Side>& a, std::uint32_t sb,
                         const std::vector<Side>& b) {
            const int offsetA = result_.offsets[sa].minutes, offsetB = result_.offsets[sb].minutes;
            for (std::size_t i = 0; i < a.size(); ++i) {
                const std::size_t j = nearest(a[i], b);
                if (j == b.size() || nearest(b[j], a) != i)
                    continue;
                // Each side's logged time against the other's corrected one.
                const int forA = a[i].minute + offsetA - b[j].minute;
                const int forB = b[j].minute + offsetB - a[i].minute;
                if (std::abs(forA) <= kOffsetWindow)
                    ++histogram[sa * kBins + forA + kOffsetWindow];
                if (std::abs(forB) <= kOffsetWindow)
                    ++histogram[sb * kBins + forB + kOffsetWindow];
            }
        });
        bool changed = false;
        for (std::uint32_t s = 0; s < logs_.stations.size(); ++s) {
            const std::uint32_t* h = &histogram[s * kBins];
            std::uint32_t n = 0;
            for (int k = 0; k < kBins; ++k)
                n += h[k];
            ClockOffset found;
            if (n >= kMinOffsetSamples) {
                int median = 0;
                for (std::uint32_t below = 0; median < kBins; ++median) {
                    below += h[median];
                    if (2 * below >= n)
                        break;
                }
                std::uint32_t near = h[median];
                near += median > 0 ? h[median - 1] : 0;
                near += median + 1 < kBins ? h[median + 1] : 0;
                const int minutes = median - kOffsetWindow;
                // Most QSOs must agree on it: a constant offset, not scattered times.
                if (std::abs(minutes) >= options_.minOffset && 5 * near >= 3 * n)
                    found = {minutes, n};
            }
            changed = changed || found.minutes != result_.offsets[s].minutes;
            result_.offsets[s] = found;
        }
        return changed;
    }

    void matchPairs()
    {
        struct Candidate {
            int disagree; // exchanges that differ, 0 to 2
            int gap;
            std::uint32_t i, j;
        };
        std::vector<Candidate> candidates;
        forEachGroup([&](std::uint32_t, const std::vector<Side>& a, std::uint32_t, const std::vector<Side>& b) {
            candidates.clear();
            for (const Side& x : a)
                for (const Side& y : b) {
                    const int gap = std::abs(x.minute - y.minute);
                    if (gap > options_.tolerance)
                        continue;
                    const CompactQso &qa = logs_.qsos[x.index], &qb = logs_.qsos[y.index];
                    const int disagree = (qa.received != qb.sent) + (qb.received != qa.sent);
                    candidates.push_back({disagree, gap, x.index, y.index});
                }
            // Two QSOs of the same stations a few minutes apart (in two tours) are told
            // apart by their serials first, then by time; among equals the earlier lines
            // win, so the result is stable.
            std::sort(candidates.begin(), candidates.end(), [](const Candidate& x, const Candidate& y) {
                return std::tie(x.disagree, x.gap, x.i, x.j) < std::tie(y.disagree, y.gap, y.i, y.j);
            });
            for (const Candidate& c : candidates) {
                if (result_.partner[c.i] != kNoIndex || result_.partner[c.j] != kNoIndex)
                    continue;
                result_.partner[c.i] = c.j;
                result_.partner[c.j] = c.i;
            }
        });
        pairs_.clear();
        pairs_.shrink_to_fit();
    }

    // Unmatched QSOs filed by worked call, band and mode, then time.
    struct Loose {
        std::uint32_t call;
        std::uint8_t band, mode;
        Minute minute; // corrected
        std::uint32_t station, index;
        bool operator<(const Loose& o) const
        {
            return std::tie(call, band, mode, minute, index) <
                   std::tie(o.call, o.band, o.mode, o.minute, o.index);
        }
    };

    void findBustedCalls()
    {
        for (std::uint32_t s = 0; s < logs_.stations.size(); ++s) {
            const Station& st = logs_.stations[s];
            for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
                const CompactQso& q = logs_.qsos[i];
                if (result_.partner[i] == kNoIndex && eligible(q))
                    loose_.push_back({q.call, q.band, q.mode, corrected(s, i), s, i});
            }
        }
        std::sort(loose_.begin(), loose_.end());
        for (const Loose& q : loose_) {
            if (result_.partner[q.index] != kNoIndex)
                continue;
            const std::uint32_t mine = logs_.stations[q.station].callId;
            const std::string& logged = logs_.calls.text(q.call);
            // The other side's loose QSOs with this station, on this band and mode, in time.
            const Loose from{mine, q.band, q.mode, q.minute - options_.tolerance, 0, 0};
            std::uint32_t best = kNoIndex;
            int bestGap = options_.tolerance + 1;
            for (auto it = std::lower_bound(loose_.begin(), loose_.end(), from);
                 it != loose_.end() && it->call == mine && it->band == q.band && it->mode == q.mode &&
                 it->minute <= q.minute + options_.tolerance;
                 ++it) {
                if (it->station == q.station || result_.partner[it->index] != kNoIndex)
                    continue;
                const Station& other = logs_.stations[it->station];
                if (other.callId == q.call || !oneCharacterApart(other.call, logged))
                    continue;
                const int gap = std::abs(it->minute - q.minute);
                if (gap < bestGap) {
                    bestGap = gap;
                    best = it->index;
                }
            }
            if (best == kNoIndex)
                continue;
            result_.partner[q.index] = best;
            result_.partner[best] = q.index;
            setAtLeast(logs_.qsos[q.index], Finding::BustedCall);
            CompactQso& theirs = logs_.qsos[best];
            setAtLeast(theirs, Finding::Confirmed);
            theirs.flags |= kOtherBustedMyCall;
        }
    }

    // Once every pair is known, busted calls' too: what a station sent is settled by
    // all who copied it. Each side is judged on its own, so a QSO whose other side
    // busted the call still answers for the exchange it took down. A station that sent
    // no log is held to what most of those who worked it copied.
    void judgeExchanges()
    {
        SentExchanges sent(logs_, result_.partner, options_.exchange);
        for (std::uint32_t i = 0; i < logs_.qsos.size(); ++i) {
            const std::uint32_t other = result_.partner[i];
            const bool right = other != kNoIndex ? sent.copiedRight(i, other) : sent.copiedRightWithoutLog(i);
            if (other != kNoIndex || !right)
                setAtLeast(logs_.qsos[i], right ? Finding::Confirmed : Finding::BustedExchange);
        }
        sent.views(result_.senders, result_.sendersWithoutLog);
    }

    void classifyUnmatched()
    {
        // In how many logs each call is worked, to tell uniques from calls that only
        // sent no log.
        std::vector<std::uint32_t> logsWith(logs_.calls.size(), 0), lastStation(logs_.calls.size(), kNoIndex);
        for (std::uint32_t s = 0; s < logs_.stations.size(); ++s) {
            const Station& st = logs_.stations[s];
            for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
                const std::uint32_t call = logs_.qsos[i].call;
                if (lastStation[call] != s) {
                    lastStation[call] = s;
                    ++logsWith[call];
                }
            }
        }
        for (const Loose& q : loose_) {
            if (result_.partner[q.index] != kNoIndex)
                continue;
            Finding f = Finding::Nil;
            if (logs_.stationOfCall[q.call] == kNoIndex)
                f = logsWith[q.call] <= 1 ? Finding::Unique : Finding::NoLog;
            setAtLeast(logs_.qsos[q.index], f);
        }
        loose_.clear();
        loose_.shrink_to_fit();
    }

    void checkPeriod()
    {
        for (std::uint32_t s = 0; s < logs_.stations.size(); ++s) {
            const Station& st = logs_.stations[s];
            for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
                const Minute t = corrected(s, i);
                if (t < options_.start || t >= options_.end)
                    setAtLeast(logs_.qsos[i], Finding::OutOfPeriod);
            }
        }
    }

    ContestLogs& logs_;
    const CheckOptions& options_;
    CrossCheckResult result_;
    std::vector<PairEntry> pairs_;
    std::vector<Loose> loose_;
};

} // namespace

bool oneCharacterApart(const std::string& a, const std::string& b)
{
    if (a == b)
        return false;
    if (portableOf(a, b) || portableOf(b, a))
        return true;
    const std::string& longer = a.size() >= b.size() ? a : b;
    const std::string& shorter = a.size() >= b.size() ? b : a;
    if (longer.size() - shorter.size() > 1)
        return false;
    std::size_t head = 0;
    while (head < shorter.size() && longer[head] == shorter[head])
        ++head;
    // Same length: the rest after one replaced character; else after one extra character.
    const std::size_t skip = head + 1;
    const std::size_t restShort = longer.size() == shorter.size() ? skip : head;
    return longer.compare(skip, std::string::npos, shorter, restShort, std::string::npos) == 0;
}

CrossCheckResult crossCheck(ContestLogs& logs, const CheckOptions& options)
{
    return Checker(logs, options).run();
}

} // namespace korvane::judge
