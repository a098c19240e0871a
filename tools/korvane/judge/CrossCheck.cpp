#include "tools/korvane/judge/CrossCheck.h"

#include "tools/korvane/Bands.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <tuple>

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
        for (int round = 0; round < kOffsetRounds; ++round)
            estimateOffsets();
        matchPairs();
        findBustedCalls();
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
        std::vector<std::uint32_t> order;
        for (const Station& s : logs_.stations) {
            order.resize(s.count);
            for (std::uint32_t i = 0; i < s.count; ++i)
                order[i] = s.first + i;
            auto key = [&](std::uint32_t i) {
                const CompactQso& q = logs_.qsos[i];
                return std::make_tuple(q.call, q.band, q.mode, q.minute, i);
            };
            std::sort(order.begin(), order.end(), [&](auto a, auto b) { return key(a) < key(b); });
            for (std::uint32_t k = 1; k < s.count; ++k) {
                const auto a = key(order[k - 1]), b = key(order[k]);
                if (std::get<0>(a) == std::get<0>(b) && std::get<1>(a) == std::get<1>(b) &&
                    std::get<2>(a) == std::get<2>(b) && std::get<3>(a) == std::get<3>(b))
                    setAtLeast(logs_.qsos[order[k]], Finding::Duplicate);
            }
            for (std::uint32_t i = s.first; i < s.first + s.count; ++i) {
                CompactQso& q = logs_.qsos[i];
                const auto band = bandFromKHz(q.freqKHz);
                if (!band || *band != logs_.bands.text(q.band))
                    setAtLeast(q, Finding::BandMismatch);
            }
        }
    }

    void buildPairs()
    {
        for (std::uint32_t s = 0; s < logs_.stations.size(); ++s) {
            const Station& st = logs_.stations[s];
            for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
                const CompactQso& q = logs_.qsos[i];
                const std::uint32_t other = logs_.stationOfCall[q.call];
                if (other != kNoIndex && other != s && eligible(q))
                    pairs_.push_back({pairKey(st.callId, q.call, q.band, q.mode), s, i});
            }
        }
        std::sort(pairs_.begin(), pairs_.end(), [](const PairEntry& a, const PairEntry& b) {
            return a.key != b.key ? a.key < b.key
                                  : (a.station != b.station ? a.station < b.station : a.index < b.index);
        });
    }

    // Calls each(sideA, sideB) for every pair, band and mode, each side in file order.
    template <typename Each>
    void forEachGroup(Each each)
    {
        std::vector<std::uint32_t> a, b;
        for (std::size_t g = 0; g < pairs_.size();) {
            std::size_t end = g;
            while (end < pairs_.size() && pairs_[end].key == pairs_[g].key)
                ++end;
            a.clear();
            b.clear();
            for (std::size_t k = g; k < end; ++k)
                (pairs_[k].station == pairs_[g].station ? a : b).push_back(pairs_[k].index);
            if (!b.empty())
                each(pairs_[g].station, a, pairs_[end - 1].station, b);
            g = end;
        }
    }

    // One round: every station's offset from its mutual nearest QSOs with each partner,
    // the partner's time taken as corrected by the previous round.
    void estimateOffsets()
    {
        constexpr int kBins = 2 * kOffsetWindow + 1;
        std::vector<std::uint32_t> histogram(logs_.stations.size() * kBins, 0);
        auto nearest = [&](std::uint32_t sFrom, std::uint32_t from, std::uint32_t sTo,
                           const std::vector<std::uint32_t>& to) {
            std::uint32_t best = kNoIndex;
            int bestGap = kOffsetWindow + 1;
            for (std::uint32_t j : to) {
                const int gap = std::abs(corrected(sFrom, from) - corrected(sTo, j));
                if (gap < bestGap) {
                    bestGap = gap;
                    best = j;
                }
            }
            return best;
        };
        forEachGroup([&](std::uint32_t sa, const std::vector<std::uint32_t>& a, std::uint32_t sb,
                         const std::vector<std::uint32_t>& b) {
            for (std::uint32_t i : a) {
                const std::uint32_t j = nearest(sa, i, sb, b);
                if (j == kNoIndex || nearest(sb, j, sa, a) != i)
                    continue;
                const int forA = logs_.qsos[i].minute - corrected(sb, j);
                const int forB = logs_.qsos[j].minute - corrected(sa, i);
                if (std::abs(forA) <= kOffsetWindow)
                    ++histogram[sa * kBins + forA + kOffsetWindow];
                if (std::abs(forB) <= kOffsetWindow)
                    ++histogram[sb * kBins + forB + kOffsetWindow];
            }
        });
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
            result_.offsets[s] = found;
        }
    }

    void matchPairs()
    {
        struct Candidate {
            int disagree; // exchanges that differ, 0 to 2
            int gap;
            std::uint32_t i, j;
        };
        std::vector<Candidate> candidates;
        std::vector<std::uint32_t> taken;
        forEachGroup([&](std::uint32_t sa, const std::vector<std::uint32_t>& a, std::uint32_t sb,
                         const std::vector<std::uint32_t>& b) {
            candidates.clear();
            for (std::uint32_t i : a)
                for (std::uint32_t j : b) {
                    const int gap = std::abs(corrected(sa, i) - corrected(sb, j));
                    if (gap > options_.tolerance)
                        continue;
                    const CompactQso &qa = logs_.qsos[i], &qb = logs_.qsos[j];
                    const int disagree = (qa.received != qb.sent) + (qb.received != qa.sent);
                    candidates.push_back({disagree, gap, i, j});
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
                judgeExchange(c.i, c.j);
                judgeExchange(c.j, c.i);
            }
        });
        pairs_.clear();
        pairs_.shrink_to_fit();
    }

    void judgeExchange(std::uint32_t mine, std::uint32_t theirs)
    {
        CompactQso& q = logs_.qsos[mine];
        setAtLeast(q, q.received == logs_.qsos[theirs].sent ? Finding::Confirmed
                                                            : Finding::BustedExchange);
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
