#pragma once
// What the judge needs to know of a contest beyond the logs: its period, bands and
// modes, what the exchange is made of, and the rules a committee chooses. The KORVANE
// contest is built in; any other contest comes from a definition file.

#include "tools/judge/Minutes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane::judge {

// How one part of the exchange after the report is compared.
enum class PartKind : std::uint8_t {
    Name,   // a word: compared as letters, case and separators aside
    Number, // compared as a number: leading zeros, glued letters and separators aside
};

struct ExchangePart {
    std::string label; // "NAME", "NR"
    PartKind kind = PartKind::Number;
    bool constant = false; // the same in every QSO of a station (name, member number)
};

// Portable and power suffixes ("/P", "/M", "/QRP") against the bare call.
enum class SuffixRule : std::uint8_t {
    Ignore, // PA7F/P and PA7F are one station
    Bust,   // a call logged without the suffix it was sent with is busted
};

struct ContestDefinition {
    std::string name = "KORVANE";
    // The period, start <= time < end; empty when the definition names no dates and the
    // committee gives them.
    std::optional<Minute> start, end;
    std::optional<Minute> deadline; // for logs; none keeps submission open
    std::vector<std::string> bands; // as the readers name them ("80"); empty: any
    std::vector<std::string> modes; // as the readers name them ("CW", "SSB"); empty: any

    // The exchange after the report. Words listed in fixedWords ("NTC", "POINTS") are
    // the contest's own and are not parts.
    std::vector<ExchangePart> exchange{{"NR", PartKind::Number, false}};
    std::vector<std::string> fixedWords;
    bool missingNameIsBust = false; // a receiver who copied only the number

    SuffixRule suffixes = SuffixRule::Ignore;
    // A unique call one edit from a call at least this many other logs hold is a
    // busted copy of that call; 0 turns the rule off.
    int uniqueBustLogs = 3;

    std::vector<std::string> categories; // category labels the contest ranks; empty: any
};

} // namespace korvane::judge
