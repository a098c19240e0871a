#pragma once
// Why one QSO got its finding, in words, and the other side's QSO that shows it.

#include "tools/judge/Judgement.h"

#include <cstdint>
#include <string>

namespace korvane::judge {

struct FindingDetail {
    std::string why;                       // one line, without the finding's name
    std::uint32_t otherStation = kNoIndex; // whose QSO shows it, when one does
    std::uint32_t otherIndex = kNoIndex;   // that QSO
};

FindingDetail explainFinding(const Judgement& j, std::uint32_t station, std::uint32_t index);

// Whether a QSO goes into the station's report and the JSON findings: everything but
// a plain confirmed QSO or one whose station sent no log.
bool worthReporting(const CompactQso& qso);

} // namespace korvane::judge
