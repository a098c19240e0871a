#pragma once
// Every kind of finding the judge can reach about a QSO, described once: how files and
// scripts name it, how people read it, whether it counts, and where the results tables
// add it up. A new kind is one more enum value and one more row in kFindingKinds.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace korvane::judge {

// What the judge decided about one QSO. The order is the order of precedence: a QSO
// that is both a duplicate and out of the period is listed as a duplicate.
enum class Finding : std::uint8_t {
    Confirmed,      // the other side's log holds it
    NoLog,          // the other station sent no log, but others worked it: counted
    Unique,         // the call is in no other log at all
    BustedExchange, // matched, but the received exchange is not what the other side sent
    Nil,            // the other station's log has no such QSO
    WrongTime,      // the other log holds it, but this side's time is far off and its
                    // clock agrees with its other partners' (a near miss)
    BustedCall,     // the other side's log holds it from a call one character away
    TourRepeat,     // the plug-in's tour check refuses it
    OutOfPeriod,
    NotInContest,   // a band or mode the contest does not have
    BandMismatch,   // the band given is not the band of the frequency
    Duplicate,      // the same call, band, mode and minute as an earlier line
};
inline constexpr int kFindingCount = 12;

enum class Counting : std::uint8_t {
    Always,
    UnlessUniquesRuledOut, // the committee decides whether lone calls count
    Never,
};

// The results tables' columns a kind adds to; both are also what the penalty is for.
enum class ResultColumn : std::uint8_t { None, Nil, Busted };

struct FindingKind {
    Finding finding;
    const char* key;        // in files and on the command line: "busted-exchange"
    const char* jsonName;   // as a JSON member name: "busted_exchange"
    const char* words;      // in a report's line: "busted exchange"
    const char* label;      // in a report's summary: "Busted exchange"
    int summaryRow;         // the summary's order, which puts like with like
    bool heldAgainst;       // something is wrong with the QSO, so reports list it
    Counting counting;
    ResultColumn column;
};

extern const std::array<FindingKind, kFindingCount> kFindingKinds; // in enum order

inline const FindingKind& findingKind(Finding finding)
{
    return kFindingKinds[static_cast<std::size_t>(finding)];
}
inline const char* findingKey(Finding finding) { return findingKind(finding).key; }
inline const char* findingWords(Finding finding) { return findingKind(finding).words; }

// The kind a key names ("nil"), or nothing for a key no kind has.
std::optional<Finding> findingFromKey(std::string_view key);

} // namespace korvane::judge
