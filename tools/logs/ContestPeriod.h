#pragma once
// --start and --end as the committee applies them: a QSO counts from the start minute up
// to, not including, the end minute. The QSOs outside are taken out of the log before
// the plug-in sees any, and counted, so that the score, the check and the tours all
// speak of the same QSOs as the judge.

#include "contract/OleDateTime.h"
#include "tools/logs/LogQso.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct PeriodCut {
    std::size_t before = 0, after = 0; // QSOs left out on each side
    COleDateTime start, end;           // the bounds given; only those with a count matter
};

// Removes from qsos (keeping the order of the rest) every QSO before start's minute or
// at or after end's minute; an absent bound removes nothing on its side.
PeriodCut keepPeriod(std::vector<LogQso>& qsos, const std::optional<COleDateTime>& start,
                     const std::optional<COleDateTime>& end);

// One line per side that lost QSOs: "12 QSOs before 2026-11-21 15:00 left out".
std::vector<std::string> periodCutLines(const PeriodCut& cut);

} // namespace korvane
