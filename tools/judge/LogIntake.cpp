#include "tools/judge/LogIntake.h"

#include "tools/logs/QsoFields.h"
#include "tools/logs/TextUtil.h"

namespace korvane::judge {
namespace {

LogIdentity cabrilloIdentity(const ReadLog& log)
{
    LogIdentity id;
    const CabrilloHeader& h = log.header;
    if (!h.callsign.empty()) {
        if (std::string why = callsignProblem(h.callsign); !why.empty()) {
            id.problem = "CALLSIGN: " + why;
            id.line = h.callsignLine;
            return id;
        }
        id.call = h.callsign;
        id.line = h.callsignLine;
        return id;
    }
    if (log.ownCall.empty()) {
        id.problem = "no CALLSIGN: line, and the QSO lines name no own call";
        return id;
    }
    id.call = log.ownCall;
    id.note = "no CALLSIGN: line; judged as " + log.ownCall + ", the own call of its QSO lines";
    return id;
}

} // namespace

LogIdentity identityOf(const ReadLog& log)
{
    if (log.format == LogFormat::Cabrillo)
        return cabrilloIdentity(log);
    LogIdentity id;
    if (log.ownCall.empty())
        id.problem = "no STATION_CALLSIGN field (nor one OPERATOR) names the log's own call";
    else
        id.call = log.ownCall;
    return id;
}

} // namespace korvane::judge
