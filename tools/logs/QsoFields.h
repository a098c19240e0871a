#pragma once
// The checks and conversions both readers apply to a QSO's fields. Each returns an
// empty optional (or false) for a value the plug-in must not be given.

#include "contract/OleDateTime.h"

#include <cstddef>
#include <optional>
#include <string>

namespace korvane {

// Longest callsign passed on. Longer ones are damage, not calls; they would also not
// fit the refusal message into the host's buffer.
inline constexpr std::size_t kMaxCallLength = 32;
// Longest report or exchange passed on, for the same reasons.
inline constexpr std::size_t kMaxExchangeLength = 64;

// A calendar date that exists (no 31 February) and a time of day, as a valid UTC value.
std::optional<COleDateTime> utcDateTime(int year, int month, int day, int hour, int minute,
                                        int second);

// "YYYYMMDD" (ADIF) or "YYYY-MM-DD" (Cabrillo) with "HHMM" or "HHMMSS".
std::optional<COleDateTime> parseCompactDateTime(const std::string& date,
                                                 const std::string& time);
std::optional<COleDateTime> parseDashedDateTime(const std::string& date,
                                                const std::string& time);

// Why a callsign cannot be passed on, or empty when it can: letters, digits and '/'.
std::string callsignProblem(const std::string& call);

// "3.5214" megahertz to hertz, exactly (digits past the hertz are dropped), for any
// frequency below 1 000 000 MHz; microwave logs go past what the host's unsigned
// argument holds (4294.967295 MHz), which the readers check themselves.
std::optional<unsigned long long> megahertzToHertz(const std::string& mhz);

// ADIF MODE and SUBMODE to the host's mode: SSB for SSB and its USB/LSB, else as given.
std::string modeFromAdif(const std::string& mode, const std::string& submode);
// Cabrillo mode codes: PH is SSB, the rest as written.
std::string modeFromCabrillo(const std::string& code);

} // namespace korvane
