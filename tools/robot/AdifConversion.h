#pragma once
// An ADIF log as the Cabrillo 3.0 text the committee judges: the robot stores what was
// sent byte for byte, and beside it this text, so that every log it hands on is Cabrillo.

#include "tools/judge/ContestDefinition.h"
#include "tools/logs/LogQso.h"

#include <string>
#include <vector>

namespace korvane::robot {

struct CabrilloText {
    std::string text;
    std::vector<std::string> conversion; // what was converted, for the entrant
};

// The header (START-OF-LOG 3.0, CONTEST, CALLSIGN, CREATED-BY) and one QSO: line per QSO
// read, in file order; modes in Cabrillo's codes (CW, PH, FM, RY, DG).
CabrilloText cabrilloFromAdif(const ReadLog& log, const judge::ContestDefinition& contest);

} // namespace korvane::robot
