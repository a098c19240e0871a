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

// What settled the sender's exchange when its own log is only one voice.
std::string partnersCopied(const SenderView& v)
{
    if (v.copied.empty())
        return std::string();
    return " (" + std::to_string(v.agreeing) + " of " + std::to_string(v.partners) + " partners copied " +
           v.copied + ")";
}

} // namespace

bool worthReporting(const CompactQso& qso)
{
    return findingKind(qso.finding).heldAgainst || (qso.flags & kOtherBustedMyCall);
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
        d.why = q.flags & kOtherBustedMyCall
                    ? other + " logged this QSO with the call " +
                          logs.calls.text(logs.qsos[partner].call) + "; it counts for you"
                    : "in " + other + "'s log";
        break;
    case Finding::NoLog:
        d.why = call + " sent no log";
        break;
    case Finding::Unique:
        d.why = call + " is in no other log";
        break;
    case Finding::BustedExchange:
        d.why = "received " + exchangeText(q.received, logs.exchanges);
        if (partner != kNoIndex) {
            d.why += ", " + other + " sent " + exchangeText(logs.qsos[partner].sent, logs.exchanges);
            if (d.otherStation < j.check.senders.size())
                d.why += partnersCopied(j.check.senders[d.otherStation]);
        } else if (const auto it = j.check.sendersWithoutLog.find(q.call); it != j.check.sendersWithoutLog.end()) {
            d.why += ", " + call + " sent no log" + partnersCopied(it->second);
        }
        break;
    case Finding::Nil:
        d.why = "not in " + call + "'s log";
        break;
    case Finding::WrongTime:
        d.why = "in " + other + "'s log at " + formatMinute(logs.qsos[partner].minute, "%H:%M") +
                ", whose clock agrees with its other partners";
        break;
    case Finding::BustedCall:
        d.why = "logged " + call + ", the station worked was " + other;
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
    return d;
}

} // namespace korvane::judge
