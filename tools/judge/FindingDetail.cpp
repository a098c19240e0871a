#include "tools/judge/FindingDetail.h"

#include "tools/logs/Bands.h"
#include "tools/judge/ResultFiles.h"

namespace korvane::judge {
namespace {

// The earlier line of the same log that this one repeats.
std::uint32_t earlierLine(const Judgement& j, const Station& s, std::uint32_t index, bool sameMinute)
{
    const CompactQso& q = j.logs.qsos[index];
    for (std::uint32_t i = s.first; i < index; ++i) {
        const CompactQso& e = j.logs.qsos[i];
        if (e.call == q.call && e.band == q.band && e.mode == q.mode &&
            (sameMinute ? e.minute == q.minute
                        : tourOfDay(e.minute) == tourOfDay(q.minute)))
            return e.line;
    }
    return 0;
}

// A NIL whose QSO the other log holds far off in time, when neither time could be shown wrong.
std::string nearMissText(const Judgement& j, std::uint32_t index, FindingDetail* d)
{
    const auto it = j.check.nearMiss.find(index);
    if (it == j.check.nearMiss.end())
        return "";
    d->otherIndex = it->second;
    d->otherStation = j.logs.stationOf(it->second);
    return "; a near miss: " + j.logs.stations[d->otherStation].call + " logged it at " +
           formatMinute(j.logs.qsos[it->second].minute, "%H:%M") + " with the same numbers";
}

std::string meantText(const Judgement& j, std::uint32_t index)
{
    const std::string& call = j.logs.calls.text(j.logs.qsos[index].call);
    const auto it = j.check.meant.find(index);
    if (it == j.check.meant.end())
        return "logged " + call;
    return "logged " + call + ", in no other log; probably " + j.logs.calls.text(it->second.call) + ", which " +
           std::to_string(it->second.logs) + " logs hold";
}

// What settled the sender's exchange when its own log is only one voice.
std::string partnersCopied(const SenderView& v)
{
    if (v.copied.empty())
        return std::string();
    return " (" + std::to_string(v.agreeing) + " of " + std::to_string(v.partners) + " partners copied " +
           v.copied + ")";
}

// A confirmed QSO is worth a word when the other side erred and it still counts.
std::string confirmedText(const ContestLogs& logs, const CompactQso& q, const std::string& other,
                          std::uint32_t partner)
{
    if (q.flags & kOtherBustedMyCall)
        return other + " logged this QSO with the call " + logs.calls.text(logs.qsos[partner].call) +
               "; it counts for you";
    if (q.flags & kOtherTimeWrong)
        return other + " logged this QSO at " + formatMinute(logs.qsos[partner].minute, "%H:%M") +
               ", a time far from yours while yours agrees with your other partners; it counts for you";
    return "in " + other + "'s log";
}

// What was received against what was sent: the sender's line, or for a station without
// a log what most of its partners copied.
std::string bustedExchangeText(const Judgement& j, const CompactQso& q, const FindingDetail& d)
{
    const ContestLogs& logs = j.logs;
    std::string why = "received " + exchangeText(q.received, logs.exchanges);
    if (d.otherIndex != kNoIndex) {
        why += ", " + logs.stations[d.otherStation].call + " sent " +
               exchangeText(logs.qsos[d.otherIndex].sent, logs.exchanges);
        if (d.otherStation < j.check.senders.size())
            why += partnersCopied(j.check.senders[d.otherStation]);
    } else if (const auto it = j.check.sendersWithoutLog.find(q.call); it != j.check.sendersWithoutLog.end()) {
        why += ", " + logs.calls.text(q.call) + " sent no log" + partnersCopied(it->second);
    }
    return why;
}

} // namespace

bool worthReporting(const CompactQso& qso)
{
    return findingKind(qso.finding).heldAgainst || qso.flags != 0;
}

FindingDetail explainFinding(const Judgement& j, std::uint32_t station, std::uint32_t index)
{
    const ContestLogs& logs = j.logs;
    const Station& s = logs.stations[station];
    const CompactQso& q = logs.qsos[index];
    const std::string& call = logs.calls.text(q.call);
    FindingDetail d;
    const std::uint32_t partner = j.check.partner[index];
    if (partner != kNoIndex) {
        d.otherIndex = partner;
        d.otherStation = logs.stationOf(partner);
    }
    const std::string other = d.otherStation == kNoIndex ? std::string() : logs.stations[d.otherStation].call;
    switch (q.finding) {
    case Finding::Confirmed:
        d.why = confirmedText(logs, q, other, partner);
        break;
    case Finding::NoLog:
        d.why = call + " sent no log";
        break;
    case Finding::Unique:
        d.why = call + " is in no other log";
        break;
    case Finding::BustedExchange:
        d.why = bustedExchangeText(j, q, d);
        break;
    case Finding::Nil:
        d.why = "not in " + call + "'s log" + nearMissText(j, index, &d);
        break;
    case Finding::WrongTime:
        d.why = "in " + other + "'s log at " + formatMinute(logs.qsos[partner].minute, "%H:%M") +
                ", whose clock agrees with its other partners";
        break;
    case Finding::BustedCall:
        d.why = partner != kNoIndex ? "logged " + call + ", the station worked was " + other : meantText(j, index);
        break;
    case Finding::TourRepeat:
        d.why = "the same station, band and mode as line " +
                std::to_string(earlierLine(j, s, index, false)) + ", in the same half-hour tour";
        break;
    case Finding::OutOfPeriod: {
        const Minute t = q.minute - j.check.offsets[station].minutes;
        d.why = formatMinute(t, "%Y-%m-%d %H:%M") + " UTC lies outside " + periodText(j.rules);
        break;
    }
    case Finding::NotInContest:
        d.why = logs.bands.text(q.band) + " m " + logs.modes.text(q.mode) + " is not a band and mode of " +
                j.rules.contest.name;
        break;
    case Finding::BandMismatch: {
        const auto band = bandFromKHz(q.freqKHz);
        d.why = std::to_string(q.freqKHz) + " kHz is " + (band ? "on " + *band + " m" : "on no band") +
                ", not on " + logs.bands.text(q.band) + " m";
        break;
    }
    case Finding::Duplicate:
        d.why = "the same call, band, mode and minute as line " +
                std::to_string(earlierLine(j, s, index, true));
        break;
    }
    // A QSO kept from a near miss and judged on its exchange still names the near miss.
    if ((q.flags & kOtherTimeWrong) && q.finding != Finding::Confirmed)
        d.why += "; " + other + " logged it at " + formatMinute(logs.qsos[partner].minute, "%H:%M") +
                 ", a time far from yours";
    return d;
}

} // namespace korvane::judge
