// The Cabrillo logs of a simulated contest, and beside each line what the judge should
// find in it.
#include "tools/judge/SimulatedContest.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <tuple>

namespace korvane::judge::simulated {
namespace {

const char* const kModeCode[] = {"CW", "PH"};
const char* const kReports[2][3] = {{"599", "589", "579"}, {"59", "58", "57"}};
constexpr std::uint32_t kHeaderLines = 10;

// One line of one station's log.
struct Line {
    Minute entered; // where the operator wrote it: a hand-typed time leaves it in place
    std::uint32_t event;
    int side;
    bool copy;      // the same line written a second time
    bool operator<(const Line& o) const { return std::tie(entered, event, copy) < std::tie(o.entered, o.event, o.copy); }
};

std::uint32_t wrongSerial(std::uint32_t serial, SimulationRandom& random)
{
    const std::uint32_t how = random.below(3);
    if (how == 0)
        return serial + 1;
    if (how == 1 && serial > 1)
        return serial - 1;
    return serial + 10 * (1 + random.below(9));
}

std::string serialText(std::uint32_t serial, bool plain)
{
    char text[16];
    std::snprintf(text, sizeof text, plain ? "%u" : "%03u", serial);
    return text;
}

std::string headerText(const SimStation& me, std::size_t claimed)
{
    return "START-OF-LOG: 3.0\r\nCONTEST: KORVANE\r\nCALLSIGN: " + me.call +
           "\r\nCATEGORY-OPERATOR: " + me.operatorCategory +
           "\r\nCATEGORY-BAND: ALL\r\nCATEGORY-MODE: MIXED\r\nCATEGORY-POWER: " + me.powerCategory +
           "\r\nCLAIMED-SCORE: " + std::to_string(claimed) + "\r\nOPERATORS: " + me.base +
           "\r\nCREATED-BY: korvane simulate\r\n";
}

class LogWriter {
public:
    explicit LogWriter(SimulatedContest& c) : c_(c), lines_(c.stations.size()) {}

    Simulation write()
    {
        collectLines();
        countLogsWithEachCall();
        for (std::uint32_t st : callOrder()) {
            const SimStation& me = c_.stations[st];
            if (me.submits)
                writeLog(st);
            else
                sim_.silent.push_back(me.call);
        }
        for (const auto& [event, where] : bothSides_)
            if (where.size() == 2)
                sim_.truth.bothSides.push_back({where[0], where[1]});
        sim_.truth.logs = sim_.logs.size();
        return std::move(sim_);
    }

private:
    void collectLines()
    {
        for (std::uint32_t k = 0; k < c_.events.size(); ++k) {
            const Event& e = c_.events[k];
            for (int s = 0; s < 2; ++s) {
                const SideLog& side = e.side[s];
                if (!c_.stations[side.station].submits || side.error == LineError::Missing)
                    continue;
                lines_[side.station].push_back({side.logged, k, s, false});
                if (side.error == LineError::Duplicate)
                    lines_[side.station].push_back({side.logged, k, s, true});
            }
        }
        for (auto& list : lines_)
            std::sort(list.begin(), list.end());
    }

    std::vector<std::uint32_t> callOrder() const
    {
        std::vector<std::uint32_t> order(c_.stations.size());
        for (std::uint32_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return c_.stations[a].call < c_.stations[b].call; });
        return order;
    }

    const std::string& copied(const Line& l) const { return c_.events[l.event].side[l.side].copiedCall; }

    // In how many logs each call stands as logged, for the uniques.
    void countLogsWithEachCall()
    {
        for (const auto& list : lines_) {
            std::set<std::string> seen;
            for (const Line& l : list)
                seen.insert(copied(l));
            for (const std::string& call : seen)
                ++logsWith_[call];
        }
    }

    Finding findingOf(const Line& l) const
    {
        const Event& e = c_.events[l.event];
        const SideLog &mine = e.side[l.side], &theirs = e.side[1 - l.side];
        if (l.copy)
            return Finding::Duplicate;
        if (e.kind == Kind::OutOfPeriod)
            return Finding::OutOfPeriod;
        if (e.kind == Kind::Repeat)
            return Finding::TourRepeat;
        if (mine.error == LineError::BustedCall)
            return Finding::BustedCall;
        if (theirs.error == LineError::Missing)
            return Finding::Nil;
        if (mine.error == LineError::WrongTime)
            return Finding::WrongTime;
        if (mine.error == LineError::WrongSerial)
            return Finding::BustedExchange;
        if (!c_.stations[theirs.station].submits)
            return logsWith_.at(mine.copiedCall) <= 1 ? Finding::Unique : Finding::Confirmed;
        return Finding::Confirmed;
    }

    std::string qsoText(const SimStation& me, const Line& l)
    {
        const Event& e = c_.events[l.event];
        const SideLog &mine = e.side[l.side], &theirs = e.side[1 - l.side];
        std::uint32_t got = theirs.serial;
        if (mine.error == LineError::WrongSerial)
            got = wrongSerial(got, e.bothSides ? c_.hardRandom : c_.random);
        char qso[200];
        std::snprintf(qso, sizeof qso, "QSO: %5u %-2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n", e.freqKHz,
                      kModeCode[e.mode], formatMinute(mine.logged + mine.typedShift, "%Y-%m-%d %H%M").c_str(),
                      me.call.c_str(), kReports[e.mode][(l.event + l.side) % 3],
                      serialText(mine.serial, me.plainSerials).c_str(), mine.copiedCall.c_str(),
                      kReports[e.mode][(l.event + 1 - l.side) % 3], serialText(got, me.plainSerials).c_str());
        return qso;
    }

    void writeLog(std::uint32_t st)
    {
        const SimStation& me = c_.stations[st];
        const std::vector<Line>& lines = lines_[st];
        if (me.offset)
            sim_.truth.clockOffsets[me.call] = me.offset;
        if (me.call != me.base)
            sim_.truth.suffixed.insert(me.call);
        std::set<std::string> distinct;
        for (const Line& l : lines)
            distinct.insert(copied(l));
        std::string text = headerText(me, lines.size() + distinct.size());
        std::uint32_t number = kHeaderLines;
        for (const Line& l : lines) {
            text += qsoText(me, l);
            ++number;
            const Finding f = findingOf(l);
            if (f != Finding::Confirmed)
                sim_.truth.lines[{me.call, number}] = f;
            if (c_.events[l.event].bothSides && !l.copy)
                bothSides_[l.event].push_back({me.call, number});
        }
        text += "END-OF-LOG:\r\n";
        sim_.truth.qsoLines += lines.size();
        sim_.logs.push_back({me.call, std::move(text)});
    }

    SimulatedContest& c_;
    std::vector<std::vector<Line>> lines_; // by station, in the order written
    std::unordered_map<std::string, std::uint32_t> logsWith_;
    std::map<std::uint32_t, std::vector<Truth::LineRef>> bothSides_; // by event
    Simulation sim_;
};

} // namespace

Simulation writeLogs(SimulatedContest& c) { return LogWriter(c).write(); }

} // namespace korvane::judge::simulated
