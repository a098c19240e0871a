#pragma once
// An exchange taken apart as a log checker reads it: the names and numbers that are
// its parts, in the contest's order. Separators, letter case, leading zeros, the order
// of names against numbers, a report in front and the contest's own words are not
// parts: "599VANNI164", "VANNI/164" and "164 vanni" are one exchange.

#include "tools/judge/ContestDefinition.h"
#include "tools/judge/TextTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvane::judge {

struct ExchangeRules {
    std::vector<ExchangePart> parts{{"NR", PartKind::Number, false}};
    std::vector<std::string> fixedWords; // upper case
    bool missingNameIsBust = false;

    bool hasConstantPart() const;
};

ExchangeRules exchangeRules(const ContestDefinition& contest);

// One value per part: a number of up to nine digits as itself, a name or a longer
// number as kTextValue with its id in the reader's table, kNoValue where the exchange
// lacks the part.
inline constexpr std::uint32_t kTextValue = 0x80000000u;
inline constexpr std::uint32_t kNoValue = 0xffffffffu;
using PartValues = std::vector<std::uint32_t>;

class ExchangeReader {
public:
    explicit ExchangeReader(ExchangeRules rules);

    PartValues read(std::string_view text);
    // The parts of an exchange as ContestLogs stores it; each distinct one is read once.
    const PartValues& parts(std::uint32_t code, const TextTable& exchanges);
    // "ZOKI", "226"; "-" for a missing part.
    std::string valueText(std::uint32_t value) const;
    const ExchangeRules& rules() const { return rules_; }

private:
    std::uint32_t textValue(const std::string& text);

    ExchangeRules rules_;
    std::size_t numberParts_ = 0;
    TextTable texts_;
    std::unordered_map<std::uint32_t, PartValues> byCode_;
};

} // namespace korvane::judge
