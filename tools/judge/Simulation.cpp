#include "tools/judge/Simulation.h"

#include "tools/judge/CrossCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <unordered_map>

namespace korvane::judge {
namespace {

// Integer arithmetic only from here on (SplitMix64, no floating-point distributions),
// so that a seed gives the same contest with every compiler and on every system.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }
    int between(int lo, int hi) { return lo + static_cast<int>(below(static_cast<std::uint32_t>(hi - lo + 1))); }
    bool chance(std::uint32_t perMillion) { return below(1000000) < perMillion; }

private:
    std::uint64_t state_;
};

// Error rates, per million QSOs (per million logs for clocks), before errorScale.
constexpr std::uint32_t kMissingRate = 15000, kBustedCallRate = 10000, kWrongSerialRate = 10000;
constexpr std::uint32_t kRepeatRate = 5000, kOutOfPeriodRate = 5000, kDuplicateRate = 3000;
constexpr std::uint32_t kClockRate = 40000, kPortableRate = 30000;
// Passers-by: a QSO or three, never a log; most of the calls only one log holds.
constexpr std::uint32_t kCasualRate = 50000;

// The same two stations meet again on one band and mode only after this long, except
// for the tour repeats put in on purpose.
constexpr int kSpacingSeconds = 8 * 60;
constexpr int kJitterSeconds = 40; // how late each side logs after the real moment

enum class Kind : std::uint8_t { Normal, Repeat, OutOfPeriod };
enum class LineError : std::uint8_t { None, Missing, BustedCall, WrongSerial, Duplicate };

struct SimStation {
    std::string call;
    bool submits = true;
    int offset = 0;          // minutes its clock is fast
    std::uint32_t weight = 1; // how busy; 0 for a passer-by
    std::string operatorCategory, powerCategory;
};

struct Event {
    std::uint32_t side[2];  // the two stations
    std::int64_t second;    // the real moment, seconds from the start of the period
    Minute logged[2];       // each side's logged minute
    std::uint32_t freqKHz;
    std::uint8_t band, mode; // band 0: 160 m, 1: 80 m; mode 0: CW, 1: SSB
    Kind kind = Kind::Normal;
    bool used = false;       // carries an error, or is the first QSO of a repeat
    LineError error = LineError::None;
    std::uint8_t errorSide = 0;
    std::string bustedCall;
    std::uint32_t serial[2] = {0, 0};
};

const char* const kBandText[] = {"160", "80"};
const char* const kModeCode[] = {"CW", "PH"};

class Simulator {
public:
    explicit Simulator(const SimulationOptions& o) : o_(o), random_(o.seed) {}

    Simulation run()
    {
        makeStations();
        const auto events = static_cast<std::uint32_t>(
            (static_cast<std::uint64_t>(o_.stations) * static_cast<std::uint64_t>(std::llround(o_.qsosPerLog))) / 2);
        addNormalEvents(events);
        addCasualEvents();
        addRepeats(scaled(kRepeatRate, events));
        addOutOfPeriod(scaled(kOutOfPeriodRate, events));
        addLineErrors(LineError::Missing, scaled(kMissingRate, events));
        addLineErrors(LineError::BustedCall, scaled(kBustedCallRate, events));
        addLineErrors(LineError::WrongSerial, scaled(kWrongSerialRate, events));
        addLineErrors(LineError::Duplicate, scaled(kDuplicateRate, events));
        numberSerials();
        return writeLogs();
    }

private:
    std::uint32_t scaled(std::uint32_t perMillion, std::uint32_t of) const
    {
        return static_cast<std::uint32_t>(std::llround(static_cast<double>(perMillion) * o_.errorScale * of / 1e6));
    }
    std::uint32_t ppm(std::uint32_t perMillion) const
    {
        return static_cast<std::uint32_t>(std::llround(perMillion * o_.errorScale));
    }

    std::string makeCall()
    {
        static const std::pair<const char*, int> kPrefixes[] = {
            {"UA", 6}, {"RA", 5}, {"RK", 3}, {"RN", 2}, {"RV", 2}, {"RW", 2}, {"RU", 2}, {"RZ", 2},
            {"R", 2},  {"UR", 2}, {"UT", 1}, {"US", 1}, {"EW", 2}, {"EU", 1}, {"UN", 2}, {"RX", 1}};
        int total = 0;
        for (const auto& p : kPrefixes)
            total += p.second;
        int pick = random_.between(0, total - 1);
        std::string call;
        for (const auto& p : kPrefixes) {
            if (pick < p.second) {
                call = p.first;
                break;
            }
            pick -= p.second;
        }
        call += static_cast<char>('0' + random_.below(10));
        const std::uint32_t roll = random_.below(10);
        const int letters = roll == 0 ? 1 : (roll < 4 ? 2 : 3);
        for (int i = 0; i < letters; ++i)
            call += static_cast<char>('A' + random_.below(26));
        return call;
    }

    void makeStations()
    {
        static const std::uint32_t kWeights[] = {1, 1, 1, 2, 2, 3, 4, 6, 10, 16};
        std::set<std::string> calls;
        stations_.reserve(o_.stations);
        const auto silent = static_cast<std::uint32_t>(std::llround(o_.silentShare * 1e6));
        for (unsigned i = 0; i < o_.stations; ++i) {
            SimStation s;
            do {
                s.call = makeCall();
                if (random_.chance(kPortableRate))
                    s.call += "/P";
            } while (!calls.insert(s.call).second);
            s.submits = i < 2 || !random_.chance(silent);
            s.weight = kWeights[random_.below(10)];
            if (i >= 2 && random_.chance(kCasualRate)) {
                s.submits = false;
                s.weight = 0;
            }
            s.operatorCategory = random_.chance(200000) ? "MULTI-OP" : "SINGLE-OP";
            const std::uint32_t p = random_.below(100);
            s.powerCategory = p < 40 ? "HIGH" : (p < 85 ? "LOW" : "QRP");
            if (s.submits && s.weight >= 3 && random_.chance(ppm(kClockRate) * 2)) {
                s.offset = random_.between(4, 10);
                if (random_.below(2))
                    s.offset = -s.offset;
            }
            stations_.push_back(std::move(s));
        }
        for (const SimStation& s : stations_)
            calls_.insert(s.call);
        std::uint64_t sum = 0;
        for (const SimStation& s : stations_)
            cumulative_.push_back(sum += s.weight);
    }

    std::uint32_t pickStation()
    {
        const std::uint64_t r = random_.next() % cumulative_.back();
        return static_cast<std::uint32_t>(std::upper_bound(cumulative_.begin(), cumulative_.end(), r) -
                                          cumulative_.begin());
    }

    Minute loggedMinute(std::uint32_t station, std::int64_t second)
    {
        const std::int64_t at = static_cast<std::int64_t>(o_.start) * 60 + second + random_.between(0, kJitterSeconds);
        return static_cast<Minute>(at / 60) + stations_[station].offset;
    }

    static std::uint64_t pairKey(std::uint32_t a, std::uint32_t b, int band, int mode)
    {
        const std::uint64_t lo = std::min(a, b), hi = std::max(a, b);
        return lo << 34 | hi << 4 | static_cast<std::uint64_t>(band) << 1 | static_cast<std::uint64_t>(mode);
    }

    Minute loggedBy(const Event& e, std::uint32_t station) const
    {
        return e.side[0] == station ? e.logged[0] : e.logged[1];
    }

    // No two QSOs of the pair on the band and mode in one tour of either log, and
    // (but for except) none closer than the spacing.
    bool fits(const Event& e, std::uint32_t except) const
    {
        const auto it = pairs_.find(pairKey(e.side[0], e.side[1], e.band, e.mode));
        if (it == pairs_.end())
            return true;
        for (std::uint32_t k : it->second) {
            const Event& other = events_[k];
            if (k == except)
                continue;
            if (std::llabs(other.second - e.second) < kSpacingSeconds)
                return false;
            for (int s = 0; s < 2; ++s)
                if (tourOfDay(loggedBy(other, e.side[s])) == tourOfDay(e.logged[s]))
                    return false;
        }
        return true;
    }

    void keep(Event e)
    {
        pairs_[pairKey(e.side[0], e.side[1], e.band, e.mode)].push_back(
            static_cast<std::uint32_t>(events_.size()));
        events_.push_back(std::move(e));
    }

    Event draw(std::int64_t second)
    {
        const std::uint32_t a = pickStation();
        std::uint32_t b;
        do
            b = pickStation();
        while (b == a);
        return draw(second, a, b);
    }

    Event draw(std::int64_t second, std::uint32_t a, std::uint32_t b)
    {
        Event e;
        e.side[0] = a;
        e.side[1] = b;
        e.second = second;
        // 80 m is busier early, 160 m after dark.
        const std::int64_t length = static_cast<std::int64_t>(o_.end - o_.start) * 60;
        const std::uint32_t on80 = second < length / 2 ? 650000 : 450000;
        e.band = random_.chance(on80) ? 1 : 0;
        e.mode = random_.chance(550000) ? 0 : 1;
        static const std::uint32_t kLow[2][2] = {{1810, 1840}, {3510, 3600}};
        static const std::uint32_t kWidth[2][2] = {{28, 58}, {70, 100}};
        e.freqKHz = kLow[e.band][e.mode] + random_.below(kWidth[e.band][e.mode]);
        for (int s = 0; s < 2; ++s)
            e.logged[s] = loggedMinute(e.side[s], second);
        return e;
    }

    void addNormalEvents(std::uint32_t count)
    {
        // Rates by tour: a rush at the start, a lull in the middle, a last push.
        static const std::uint32_t kTourWeights[] = {14, 11, 9, 9, 10, 12};
        const std::int64_t length = static_cast<std::int64_t>(o_.end - o_.start) * 60;
        const std::int64_t tours = (length + 1799) / 1800;
        std::vector<std::uint32_t> weights;
        for (std::int64_t t = 0; t < tours; ++t)
            weights.push_back(kTourWeights[std::min<std::int64_t>(t, 5)]);
        std::uint32_t total = 0;
        for (std::uint32_t w : weights)
            total += w;
        if (total == 0)
            return; // a period shorter than one tour holds no QSO
        for (std::uint64_t tries = 0; events_.size() < count && tries < 8ull * count + 100; ++tries) {
            std::uint32_t pick = random_.below(total), tour = 0;
            while (pick >= weights[tour])
                pick -= weights[tour++];
            const std::int64_t from = tour * 1800;
            const std::int64_t to = std::min<std::int64_t>(from + 1800, length - 60);
            if (to <= from)
                continue;
            Event e = draw(from + random_.below(static_cast<std::uint32_t>(to - from)));
            if (fits(e, kNoIndex))
                keep(std::move(e));
        }
        normalEvents_ = static_cast<std::uint32_t>(events_.size());
    }

    void addCasualEvents()
    {
        const std::int64_t length = static_cast<std::int64_t>(o_.end - o_.start) * 60;
        for (std::uint32_t st = 0; st < stations_.size(); ++st) {
            if (stations_[st].weight != 0)
                continue;
            const std::uint32_t qsos = 1 + random_.below(3);
            for (std::uint32_t n = 0, tries = 0; n < qsos && tries < 20; ++tries) {
                std::uint32_t other = pickStation();
                Event e = draw(random_.below(static_cast<std::uint32_t>(length - 60)), st, other);
                if (fits(e, kNoIndex)) {
                    keep(std::move(e));
                    ++n;
                }
            }
        }
    }

    bool inPeriod(const Event& e, int s) const
    {
        const Minute t = e.logged[s] - stations_[e.side[s]].offset;
        return t >= o_.start && t < o_.end;
    }

    std::uint32_t pickNormalEvent() { return random_.below(normalEvents_); }

    void addRepeats(std::uint32_t count)
    {
        for (std::uint32_t made = 0, tries = 0; made < count && tries < 50 * count; ++tries) {
            const std::uint32_t k = pickNormalEvent();
            if (events_[k].used)
                continue;
            Event e = events_[k];
            e.second += random_.between(120, 1500);
            for (int s = 0; s < 2; ++s)
                e.logged[s] = loggedMinute(e.side[s], e.second);
            bool ok = fits(e, k) && inPeriod(e, 0) && inPeriod(e, 1);
            for (int s = 0; s < 2; ++s)
                ok = ok && tourOfDay(e.logged[s]) == tourOfDay(events_[k].logged[s]) &&
                     e.logged[s] > events_[k].logged[s];
            if (!ok)
                continue;
            events_[k].used = true;
            e.used = true;
            e.kind = Kind::Repeat;
            keep(std::move(e));
            ++made;
        }
    }

    void addOutOfPeriod(std::uint32_t count)
    {
        const std::int64_t length = static_cast<std::int64_t>(o_.end - o_.start) * 60;
        for (std::uint32_t made = 0, tries = 0; made < count && tries < 50 * count; ++tries) {
            const bool before = random_.below(2) == 0;
            const std::int64_t second = before ? -static_cast<std::int64_t>(random_.between(120, 1500))
                                               : length + random_.between(0, 1440);
            Event e = draw(second);
            if (!fits(e, kNoIndex) || inPeriod(e, 0) || inPeriod(e, 1))
                continue;
            e.used = true;
            e.kind = Kind::OutOfPeriod;
            keep(std::move(e));
            ++made;
        }
    }

    std::string bust(const std::string& call)
    {
        for (int attempt = 0; attempt < 20; ++attempt) {
            std::string wrong = call;
            const std::uint32_t how = random_.below(100);
            const std::size_t slash = call.find('/');
            const std::string base = call.substr(0, slash);
            if (how < 12) {
                // Two neighbouring characters swapped. A portable suffix added or left out
                // is no bust unless the contest says so.
                const std::size_t at = base.find_first_of("0123456789") + 1;
                if (at + 1 < base.size())
                    std::swap(wrong[at], wrong[at + 1]);
            } else {
                const std::size_t digit = base.find_first_of("0123456789");
                std::size_t at = how < 27 ? digit : digit + 1 + random_.below(static_cast<std::uint32_t>(base.size() - digit - 1));
                const char was = wrong[at];
                char now = was;
                while (now == was)
                    now = at == digit ? static_cast<char>('0' + random_.below(10))
                                      : static_cast<char>('A' + random_.below(26));
                wrong[at] = now;
            }
            if (!calls_.count(wrong) && oneCharacterApart(call, wrong))
                return wrong;
        }
        return std::string();
    }

    void addLineErrors(LineError error, std::uint32_t count)
    {
        for (std::uint32_t made = 0, tries = 0; made < count && tries < 50 * count; ++tries) {
            Event& e = events_[pickNormalEvent()];
            const std::uint8_t side = static_cast<std::uint8_t>(random_.below(2));
            const bool bothSubmit = stations_[e.side[0]].submits && stations_[e.side[1]].submits;
            if (e.used || !(error == LineError::Duplicate ? stations_[e.side[side]].submits : bothSubmit))
                continue;
            if (error == LineError::BustedCall) {
                e.bustedCall = bust(stations_[e.side[1 - side]].call);
                if (e.bustedCall.empty())
                    continue;
            }
            e.used = true;
            e.error = error;
            e.errorSide = side;
            ++made;
        }
    }

    // Each station numbers its QSOs in the order of its log, from 1.
    void numberSerials()
    {
        std::vector<std::vector<std::pair<Minute, std::uint32_t>>> byStation(stations_.size());
        for (std::uint32_t k = 0; k < events_.size(); ++k)
            for (int s = 0; s < 2; ++s)
                byStation[events_[k].side[s]].push_back({events_[k].logged[s], k});
        for (std::uint32_t st = 0; st < stations_.size(); ++st) {
            auto& list = byStation[st];
            std::sort(list.begin(), list.end());
            for (std::uint32_t n = 0; n < list.size(); ++n) {
                Event& e = events_[list[n].second];
                e.serial[e.side[0] == st ? 0 : 1] = n + 1;
            }
        }
    }

    std::uint32_t wrongSerial(std::uint32_t serial)
    {
        const std::uint32_t how = random_.below(3);
        if (how == 0)
            return serial + 1;
        if (how == 1 && serial > 1)
            return serial - 1;
        return serial + 10 * (1 + random_.below(9));
    }

    struct Line {
        Minute minute;
        std::uint32_t event;
        int side;
        bool copy;
    };

    Simulation writeLogs()
    {
        std::vector<std::vector<Line>> lines(stations_.size());
        for (std::uint32_t k = 0; k < events_.size(); ++k) {
            const Event& e = events_[k];
            for (int s = 0; s < 2; ++s) {
                if (!stations_[e.side[s]].submits)
                    continue;
                if (e.error == LineError::Missing && e.errorSide == s)
                    continue;
                lines[e.side[s]].push_back({e.logged[s], k, s, false});
                if (e.error == LineError::Duplicate && e.errorSide == s)
                    lines[e.side[s]].push_back({e.logged[s], k, s, true});
            }
        }
        std::vector<std::uint32_t> order(stations_.size());
        for (std::uint32_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return stations_[a].call < stations_[b].call; });

        // The calls as logged, and in how many logs each stands, for the uniques.
        std::unordered_map<std::string, std::uint32_t> logsWith;
        std::vector<std::vector<std::string>> logged(stations_.size());
        std::vector<std::uint32_t> received;
        for (std::uint32_t st : order) {
            auto& list = lines[st];
            std::sort(list.begin(), list.end(), [](const Line& a, const Line& b) {
                return std::tie(a.minute, a.event, a.copy) < std::tie(b.minute, b.event, b.copy);
            });
            std::set<std::string> seen;
            for (const Line& l : list) {
                const Event& e = events_[l.event];
                const bool busted = e.error == LineError::BustedCall && e.errorSide == l.side;
                logged[st].push_back(busted ? e.bustedCall : stations_[e.side[1 - l.side]].call);
                seen.insert(logged[st].back());
            }
            for (const std::string& c : seen)
                ++logsWith[c];
        }
        // A call in one log only, one character from a call many logs hold, is judged a
        // busted copy of it, whatever made it up.
        NearCalls wellKnown;
        std::uint32_t id = 0;
        for (const auto& [call, logs] : logsWith)
            if (logs >= static_cast<std::uint32_t>(ContestDefinition{}.uniqueBustLogs))
                wellKnown.add(id++, call, logs);

        Simulation sim;
        for (std::uint32_t st : order) {
            const SimStation& me = stations_[st];
            if (!me.submits) {
                sim.silent.push_back(me.call);
                continue;
            }
            if (me.offset)
                sim.truth.clockOffsets[me.call] = me.offset;
            std::set<std::string> distinct(logged[st].begin(), logged[st].end());
            std::string text = "START-OF-LOG: 3.0\r\nCONTEST: KORVANE\r\nCALLSIGN: " + me.call +
                               "\r\nCATEGORY-OPERATOR: " + me.operatorCategory +
                               "\r\nCATEGORY-BAND: ALL\r\nCATEGORY-MODE: MIXED\r\nCATEGORY-POWER: " +
                               me.powerCategory + "\r\nCLAIMED-SCORE: " +
                               std::to_string(lines[st].size() + distinct.size()) +
                               "\r\nOPERATORS: " + me.call.substr(0, me.call.find('/')) +
                               "\r\nCREATED-BY: korvane simulate\r\n";
            std::uint32_t number = 10; // the header's lines
            for (std::size_t n = 0; n < lines[st].size(); ++n) {
                const Line& l = lines[st][n];
                Event& e = events_[l.event];
                const std::string& call = logged[st][n];
                std::uint32_t got = e.serial[1 - l.side];
                const bool mine = e.errorSide == l.side;
                if (e.error == LineError::WrongSerial && mine)
                    got = wrongSerial(got);
                static const char* const kReports[2][3] = {{"599", "589", "579"}, {"59", "58", "57"}};
                char serialSent[16], serialGot[16], qso[200];
                std::snprintf(serialSent, sizeof serialSent, "%03u", e.serial[l.side]);
                std::snprintf(serialGot, sizeof serialGot, "%03u", got);
                std::snprintf(qso, sizeof qso, "QSO: %5u %-2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n",
                              e.freqKHz, kModeCode[e.mode],
                              formatMinute(l.minute, "%Y-%m-%d %H%M").c_str(), me.call.c_str(),
                              kReports[e.mode][(l.event + l.side) % 3], serialSent, call.c_str(),
                              kReports[e.mode][(l.event + 1 - l.side) % 3], serialGot);
                text += qso;
                ++number;

                Finding f = Finding::Confirmed;
                if (l.copy)
                    f = Finding::Duplicate;
                else if (e.kind == Kind::OutOfPeriod)
                    f = Finding::OutOfPeriod;
                else if (e.kind == Kind::Repeat)
                    f = Finding::TourRepeat;
                else if (e.error == LineError::BustedCall && mine)
                    f = Finding::BustedCall;
                else if (e.error == LineError::Missing && !mine)
                    f = Finding::Nil;
                else if (e.error == LineError::WrongSerial && mine)
                    f = Finding::BustedExchange;
                else if (!calls_.count(call) || !stations_[e.side[1 - l.side]].submits)
                    f = logsWith[call] > 1            ? Finding::Confirmed
                        : wellKnown.heaviest(call) ? Finding::BustedCall
                                                   : Finding::Unique;
                if (f != Finding::Confirmed)
                    sim.truth.lines[{me.call, number}] = f;
            }
            text += "END-OF-LOG:\r\n";
            sim.truth.qsoLines += lines[st].size();
            sim.logs.push_back({me.call, std::move(text)});
        }
        sim.truth.logs = sim.logs.size();
        return sim;
    }

    const SimulationOptions& o_;
    Random random_;
    std::vector<SimStation> stations_;
    std::set<std::string> calls_;
    std::vector<std::uint64_t> cumulative_;
    std::vector<Event> events_;
    std::uint32_t normalEvents_ = 0;
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> pairs_;
};

std::string fileNameOf(const std::string& call)
{
    std::string name = call;
    std::replace(name.begin(), name.end(), '/', '-');
    return name + ".cbr";
}

} // namespace

Simulation simulateContest(const SimulationOptions& options)
{
    return Simulator(options).run();
}

bool writeSimulation(const Simulation& simulation, const SimulationOptions& options,
                     const std::string& dir, std::string* error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path logs = fs::path(dir) / "logs";
    fs::create_directories(logs, ec);
    if (ec) {
        *error = "cannot create " + logs.string() + ": " + ec.message();
        return false;
    }
    for (const SimulatedLog& log : simulation.logs) {
        const fs::path path = logs / fileNameOf(log.call);
        std::ofstream out(path, std::ios::binary);
        out << log.text;
        if (!out.flush()) {
            *error = "cannot write " + path.string();
            return false;
        }
    }
    const fs::path truthPath = fs::path(dir) / "truth.txt";
    std::ofstream out(truthPath, std::ios::binary);
    out << "# korvane simulate: seed " << options.seed << ", " << options.stations << " stations\n";
    out << "# line CALL LINE FINDING: what the judge should find in that line of CALL's log;\n"
           "# clock CALL MINUTES: that station's clock was fast by so many minutes (slow if negative)\n";
    out << "period " << formatMinute(options.start, "%Y-%m-%d %H:%M") << " "
        << formatMinute(options.end, "%Y-%m-%d %H:%M") << "\n";
    out << "logs " << simulation.truth.logs << "\nqsos " << simulation.truth.qsoLines << "\n";
    for (const std::string& call : simulation.silent)
        out << "silent " << call << "\n";
    for (const auto& [call, minutes] : simulation.truth.clockOffsets)
        out << "clock " << call << " " << minutes << "\n";
    for (const auto& [where, finding] : simulation.truth.lines)
        out << "line " << where.first << " " << where.second << " " << findingKey(finding) << "\n";
    if (!out.flush()) {
        *error = "cannot write " + truthPath.string();
        return false;
    }
    return true;
}

bool readTruth(const std::string& path, Truth& truth, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot open " + path;
        return false;
    }
    std::string text;
    std::size_t number = 0;
    while (std::getline(in, text)) {
        ++number;
        std::istringstream words(text);
        std::string kind, call, finding;
        words >> kind;
        if (kind == "logs") {
            words >> truth.logs;
        } else if (kind == "qsos") {
            words >> truth.qsoLines;
        } else if (kind == "clock") {
            int minutes = 0;
            words >> call >> minutes;
            truth.clockOffsets[call] = minutes;
        } else if (kind == "line") {
            std::uint32_t line = 0;
            words >> call >> line >> finding;
            const std::optional<Finding> known = findingFromKey(finding);
            if (!known) {
                *error = path;
                *error += ":" + std::to_string(number) + ": unknown finding " + finding;
                return false;
            }
            truth.lines[{call, line}] = *known;
        }
    }
    return true;
}

} // namespace korvane::judge
