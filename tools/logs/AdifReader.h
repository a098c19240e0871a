#pragma once
// ADIF (.adi): data specifiers <NAME:LENGTH[:TYPE]>DATA, records ended by <EOR>, an
// optional header ended by <EOH>. Lengths count bytes, so values may hold any byte.
//
// The received exchange of a record is the first of these that gives any text:
//   1. SRX_STRING, else SRX (the exchange as logged)
//   2. APP_N1MM_EXCHANGE1, followed by ARRL_SECT when the record holds one
//   3. CLASS followed by ARRL_SECT (Field Day: "3A EMA")
//   4. ARRL_SECT
//   5. STATE
//   6. CQZ, else ITUZ
//   7. GRIDSQUARE
//   8. COMMENT when it is nothing but one serial ("014") or two ("013, 021": sent, then
//      received)
// When most records of the log hold one short word in COMMENT (" 54 ", "2A"), that word
// comes between 5 and 6: the zones and the grid are what loggers fill in from their
// country files, not what the operator copied. When one received exchange stands on 75%
// or more of ten QSOs or more, and no field was named, ReadLog::warnings says so.
// The sent exchange is STX_STRING when the record holds it. Otherwise it is STX when the
// received exchange came from SRX/SRX_STRING or was not found, and else the own side of
// the fields the received one came from (MY_ARRL_SECT, MY_STATE, MY_CQ_ZONE,
// MY_ITU_ZONE, MY_GRIDSQUARE, the first serial of COMMENT) when the record holds them
// all. STX is not taken then: some loggers write it as a running count even when the
// contest's exchange is a zone, a class or a name.

#include "tools/logs/LogQso.h"

#include <string>
#include <string_view>

namespace korvane {

struct AdifOptions {
    // Field names joined by '+' ("CQZ+STATE") whose values, joined by a blank, are the
    // received exchange of every record, in place of the order above. Empty: that order.
    std::string exchangeField;
};

// Why a text cannot be an exchangeField, or empty when it can.
std::string exchangeFieldProblem(const std::string& names);

// Never fails as a whole: a record that is damaged (a bad length, a field running past
// the end of the file, a missing or unusable CALL, QSO_DATE, TIME_ON, BAND/FREQ or
// MODE) is listed in problems with the line it starts on, and left out. A frequency the
// host's argument cannot hold is passed as 0 with a remark.
//
// The own call is the first STATION_CALLSIGN; without one, OPERATOR when every record
// that names an operator names the same one. When operators differ, a remark says so and
// the own call stays empty.
ReadLog readAdif(std::string_view text, const AdifOptions& options = {}, const ReadLimits& limits = {});

} // namespace korvane
