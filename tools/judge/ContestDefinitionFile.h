#pragma once
// A contest described in a small INI file, for contests other than the built-in one:
//
//   [contest]
//   name = NTC QSO Party
//   start = 2024-03-21 19:00          ; UTC; the period is start <= time < end
//   end = 2024-03-21 20:00
//   deadline = 2024-04-04 23:59       ; for logs
//   bands = 80M 40M 20M               ; empty or missing: any
//   modes = CW                        ; CW, PH (or SSB), RY, DG, FM; empty: any
//   exchange = NAME:name:constant NR:number:constant
//   fixed-words = NTC POINTS NM       ; the contest's own words, no part of an exchange
//   missing-name-is-bust = no
//   suffixes = ignore                 ; or bust: /P, /M and /QRP against the bare call
//   unique-bust-logs = 3              ; 0: a unique call is never taken for a busted one
//   categories = SINGLE-OP ALL CW LOW, SINGLE-OP ALL CW QRP
//
// Keys left out keep the built-in contest's values.

#include "tools/judge/ContestDefinition.h"

#include <string>
#include <string_view>

namespace korvane::judge {

// The KORVANE contest of 2026, the one the bundled sample log is from.
ContestDefinition korvaneContest();

// False with "line N: why" for a line, key or value it cannot take; out is then
// unchanged.
bool readContestDefinition(std::string_view text, ContestDefinition& out, std::string* error);
bool loadContestDefinition(const std::string& path, ContestDefinition& out, std::string* error);

// Whether a QSO's band and mode (as the log readers give them: "80", "SSB") are the
// contest's.
bool inContest(const ContestDefinition& contest, const std::string& band, const std::string& mode);

} // namespace korvane::judge
