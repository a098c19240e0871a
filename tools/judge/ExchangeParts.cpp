#include "tools/judge/ExchangeParts.h"

#include "contract/AsciiText.h"
#include "tools/judge/ContestLogs.h"

#include <algorithm>

namespace korvane::judge {
namespace {

constexpr std::size_t kMaxNumberDigits = 9; // below kTextValue

struct Token {
    std::string text; // upper case; a number without its leading zeros
    bool number = false;
};

// Bytes past ASCII belong to a name written in a code page ("JÖRG"), not between words.
bool inWord(char c)
{
    return ascii::isLetter(c) || static_cast<unsigned char>(c) >= 0x80;
}

// Runs of letters and runs of digits; anything else only separates them.
std::vector<Token> tokensOf(std::string_view text)
{
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < text.size();) {
        const bool digits = ascii::isDigit(text[i]);
        if (!digits && !inWord(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && (digits ? ascii::isDigit(text[end]) : inWord(text[end])))
            ++end;
        tokens.push_back({ascii::upper(text.substr(i, end - i)), digits});
        i = end;
    }
    return tokens;
}

// 59, 599, 579: a report in front of the exchange, as some programs write it there.
bool looksLikeReport(const std::string& digits)
{
    if (digits.size() < 2 || digits.size() > 3 || digits[0] < '1' || digits[0] > '5')
        return false;
    return std::none_of(digits.begin() + 1, digits.end(), [](char c) { return c == '0'; });
}

std::string withoutLeadingZeros(const std::string& digits)
{
    const std::size_t nonZero = digits.find_first_not_of('0');
    return nonZero == std::string::npos ? "0" : digits.substr(nonZero);
}

} // namespace

bool ExchangeRules::hasConstantPart() const
{
    return std::any_of(parts.begin(), parts.end(), [](const ExchangePart& p) { return p.constant; });
}

ExchangeRules exchangeRules(const ContestDefinition& contest)
{
    ExchangeRules rules;
    rules.parts = contest.exchange;
    for (const std::string& word : contest.fixedWords)
        rules.fixedWords.push_back(ascii::upper(word));
    rules.missingNameIsBust = contest.missingNameIsBust;
    return rules;
}

ExchangeReader::ExchangeReader(ExchangeRules rules) : rules_(std::move(rules))
{
    numberParts_ = static_cast<std::size_t>(std::count_if(
        rules_.parts.begin(), rules_.parts.end(), [](const ExchangePart& p) { return p.kind == PartKind::Number; }));
}

PartValues ExchangeReader::read(std::string_view text)
{
    const std::vector<Token> all = tokensOf(text);
    auto fixed = [&](std::size_t k) {
        return k < all.size() && !all[k].number &&
               std::find(rules_.fixedWords.begin(), rules_.fixedWords.end(), all[k].text) != rules_.fixedWords.end();
    };
    std::vector<const Token*> words, numbers;
    for (std::size_t k = 0; k < all.size(); ++k) {
        // A number the contest's own word counts ("2 POINTS") is not a part either.
        if (fixed(k) || (all[k].number && fixed(k + 1)))
            continue;
        (all[k].number ? numbers : words).push_back(&all[k]);
    }
    // A report is only taken off when it leaves enough numbers, so a lone "59" stays.
    if (numbers.size() > numberParts_ && numbers.front() == &all.front() && looksLikeReport(all.front().text))
        numbers.erase(numbers.begin());
    PartValues values;
    std::size_t nextWord = 0, nextNumber = 0;
    for (const ExchangePart& part : rules_.parts) {
        std::vector<const Token*>& from = part.kind == PartKind::Name ? words : numbers;
        std::size_t& next = part.kind == PartKind::Name ? nextWord : nextNumber;
        values.push_back(next < from.size() ? textValue(from[next++]->text) : kNoValue);
    }
    return values;
}

std::uint32_t ExchangeReader::textValue(const std::string& text)
{
    if (!ascii::allDigits(text))
        return kTextValue | texts_.intern(text);
    const std::string digits = withoutLeadingZeros(text);
    if (digits.size() > kMaxNumberDigits)
        return kTextValue | texts_.intern(digits);
    return static_cast<std::uint32_t>(std::stoul(digits));
}

const PartValues& ExchangeReader::parts(std::uint32_t code, const TextTable& exchanges)
{
    const auto [it, added] = byCode_.try_emplace(code);
    if (added)
        it->second = read(exchangeText(code, exchanges));
    return it->second;
}

std::string ExchangeReader::valueText(std::uint32_t value) const
{
    if (value == kNoValue)
        return "-";
    if (value & kTextValue)
        return texts_.text(value & ~kTextValue);
    return std::to_string(value);
}

} // namespace korvane::judge
