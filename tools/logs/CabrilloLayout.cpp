#include "tools/logs/CabrilloLayout.h"

#include "contract/AsciiText.h"
#include "tools/logs/QsoFields.h"
#include "tools/logs/TextUtil.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace korvane::cabrillo {
namespace {

using ascii::isDigit;
using ascii::isLetter;

// The call itself, without a prefix or suffix after '/'.
bool looksLikeBareCall(std::string_view s)
{
    if (s.size() < 3 || s.size() > kMaxCallLength || !isLetter(s.back()))
        return false;
    bool letterSeen = false;
    bool digitAfterLetter = false;
    for (char c : s) {
        if (!isLetter(c) && !isDigit(c))
            return false;
        digitAfterLetter = digitAfterLetter || (isDigit(c) && letterSeen);
        letterSeen = letterSeen || isLetter(c);
    }
    // "9A1A", "4X4AB": a digit with a letter before it, so "10A" (a class) is not a call.
    return digitAfterLetter;
}

bool isTransmitterNumber(std::string_view s) { return s.size() == 1 && isDigit(s[0]); }

// A six-character Maidenhead locator ("KO85TS"), which VHF logs exchange and which has
// the shape of a call.
bool looksLikeLocator(std::string_view s)
{
    auto in = [](char c, char first, char last) {
        const char u = ascii::toUpper(c);
        return u >= first && u <= last;
    };
    return s.size() == 6 && in(s[0], 'A', 'R') && in(s[1], 'A', 'R') && isDigit(s[2]) &&
           isDigit(s[3]) && in(s[4], 'A', 'X') && in(s[5], 'A', 'X');
}

std::string ordinal(std::size_t n)
{
    const char* suffix = "th";
    if (n % 100 < 11 || n % 100 > 13) {
        if (n % 10 == 1)
            suffix = "st";
        else if (n % 10 == 2)
            suffix = "nd";
        else if (n % 10 == 3)
            suffix = "rd";
    }
    return std::to_string(n) + suffix;
}

// How well one place (a token index or a column) holds the worked calls of the file.
struct Tally {
    std::size_t lines = 0;     // lines with a call-like token there
    std::size_t symmetric = 0; // of those, lines whose halves have equally many fields
    std::size_t locators = 0;  // of those, lines where it has the shape of a locator
    std::set<std::string> values;
};

struct Candidate {
    Layout::CallBy by;
    std::size_t at;
    const Tally* tally;
};

bool isConstant(const Tally& t) { return t.values.size() == 1 && t.lines >= 3; }
bool holdsLocators(const Tally& t) { return t.locators * 2 > t.lines; }

// Drops the candidates that fail the test, unless none would be left.
template <class Test>
void dropUnlessAll(std::vector<Candidate>& all, Test fails)
{
    if (std::all_of(all.begin(), all.end(), [&](const Candidate& c) { return fails(*c.tally); }))
        return;
    all.erase(std::remove_if(all.begin(), all.end(), [&](const Candidate& c) { return fails(*c.tally); }),
              all.end());
}

// The place where the worked call stands on nearly every line. A place that holds the
// same value on every line is the sent exchange, and one that holds locators is an
// exchange, so both give way to any other (they would win over calls that are
// unreadable on a few lines); of places that fit about as well, the one with many
// different values (calls, not a few exchanges), then the one that splits the line
// into equal halves, then a token position before a column, then the leftmost.
std::optional<Candidate> bestCandidate(std::vector<Candidate> all)
{
    if (all.empty())
        return std::nullopt;
    dropUnlessAll(all, isConstant);
    dropUnlessAll(all, holdsLocators);
    std::size_t best = 0;
    for (const Candidate& c : all)
        best = std::max(best, c.tally->lines);
    all.erase(std::remove_if(all.begin(), all.end(),
                             [best](const Candidate& c) { return c.tally->lines * 10 < best * 9; }),
              all.end());
    std::size_t mostValues = 0;
    for (const Candidate& c : all)
        mostValues = std::max(mostValues, c.tally->values.size());
    all.erase(std::remove_if(all.begin(), all.end(),
                             [mostValues](const Candidate& c) { return c.tally->values.size() * 2 < mostValues; }),
              all.end());
    return *std::min_element(all.begin(), all.end(), [](const Candidate& a, const Candidate& b) {
        if (a.tally->symmetric != b.tally->symmetric)
            return a.tally->symmetric > b.tally->symmetric;
        if (a.by != b.by)
            return a.by == Layout::CallBy::Position;
        return a.at < b.at;
    });
}

bool halvesEqual(const QsoLine& q, std::size_t call)
{
    const std::size_t sent = call - kOwnCall - 1;
    const std::size_t received = q.tokens.size() - call - 1;
    return sent == received || (sent + 1 == received && isTransmitterNumber(q.tokens.back().text));
}

} // namespace

std::vector<Token> tokenize(std::string_view line)
{
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            tokens.push_back({start, line.substr(start, i - start)});
    }
    return tokens;
}

bool looksLikeCall(std::string_view text)
{
    if (text.empty() || text.size() > kMaxCallLength)
        return false;
    std::size_t parts = 0;
    bool bare = false;
    for (std::size_t start = 0;;) {
        const std::size_t slash = text.find('/', start);
        const std::string_view part =
            text.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        if (part.empty() || ++parts > 3)
            return false;
        for (char c : part)
            if (!isLetter(c) && !isDigit(c))
                return false;
        bare = bare || looksLikeBareCall(part);
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    return bare;
}

bool looksLikeReport(std::string_view text)
{
    if (text.size() != 2 && text.size() != 3)
        return false;
    if (text[0] < '1' || text[0] > '5')
        return false;
    for (std::size_t i = 1; i < text.size(); ++i)
        if (!((text[i] >= '1' && text[i] <= '9') || text[i] == 'N' || text[i] == 'n'))
            return false;
    return true;
}

std::string Layout::callPlace() const
{
    if (callAt == 0)
        return "no place";
    if (callBy == CallBy::Column)
        return "column " + std::to_string(callAt + 1);
    return "the " + ordinal(callAt - kTime) + " field after the time";
}

std::size_t workedCallIndex(const Layout& layout, const QsoLine& line)
{
    if (layout.callAt == 0)
        return 0;
    if (layout.callBy == Layout::CallBy::Position)
        return layout.callAt < line.tokens.size() ? layout.callAt : 0;
    for (std::size_t i = kOwnCall + 1; i < line.tokens.size(); ++i)
        if (line.tokens[i].column == layout.callAt)
            return i;
    return 0;
}

std::size_t lastReceivedIndex(const Layout& layout, const QsoLine& line)
{
    return line.tokens.size() - (layout.transmitter ? 2 : 1);
}

namespace {

// The own call the lines give most often also counts: a log without CALLSIGN, or one
// whose lines write the call differently from its header.
void learnOwnCall(Layout& layout, const std::vector<QsoLine>& lines, const std::vector<std::string>& headerCalls)
{
    std::map<std::string, std::size_t> ownCounts;
    std::vector<std::string> ownOrder;
    std::size_t withOwn = 0;
    for (const QsoLine& q : lines) {
        if (q.tokens.size() <= kOwnCall)
            continue;
        ++withOwn;
        const std::string own = ascii::upper(q.tokens[kOwnCall].text);
        if (ownCounts[own]++ == 0)
            ownOrder.push_back(own);
    }
    const std::string* dominant = nullptr;
    for (const std::string& own : ownOrder)
        if (!dominant || ownCounts[own] > ownCounts[*dominant])
            dominant = &own;
    if (dominant && looksLikeCall(*dominant)) {
        layout.linesOwnCall = *dominant;
        if ((headerCalls.empty() || ownCounts[*dominant] * 2 > withOwn) &&
            std::find(headerCalls.begin(), headerCalls.end(), *dominant) == headerCalls.end())
            layout.ownCalls.push_back(*dominant);
    }
}

// The worked call's place, by field or by column, from what every call-like field
// after the own call looks like; false when no place stands out.
bool placeWorkedCall(Layout& layout, const std::vector<QsoLine>& lines)
{
    std::map<std::size_t, Tally> byPosition, byColumn;
    for (const QsoLine& q : lines) {
        for (std::size_t i = kOwnCall + 1; i < q.tokens.size(); ++i) {
            if (!looksLikeCall(q.tokens[i].text))
                continue;
            const bool equal = halvesEqual(q, i);
            const bool locator = looksLikeLocator(q.tokens[i].text);
            for (Tally* t : {&byPosition[i], &byColumn[q.tokens[i].column]}) {
                ++t->lines;
                t->symmetric += equal ? 1 : 0;
                t->locators += locator ? 1 : 0;
                t->values.insert(ascii::upper(q.tokens[i].text));
            }
        }
    }
    std::vector<Candidate> candidates;
    candidates.reserve(byPosition.size() + byColumn.size());
    for (const auto& [at, tally] : byPosition)
        candidates.push_back({Layout::CallBy::Position, at, &tally});
    for (const auto& [at, tally] : byColumn)
        if (tally.lines >= 2) // one line's column is no alignment
            candidates.push_back({Layout::CallBy::Column, at, &tally});
    const std::optional<Candidate> best = bestCandidate(std::move(candidates));
    if (!best)
        return false;
    layout.callBy = best->by;
    layout.callAt = best->at;
    return true;
}

// With the calls placed: does a transmitter number end the lines? Only lines that fit
// count, and three in four must: a small log with one line written by hand still has
// its column.
bool endsWithTransmitter(const Layout& layout, const std::vector<QsoLine>& lines)
{
    std::size_t fitting = 0, digitLast = 0, equalWith = 0, equalWithout = 0;
    for (const QsoLine& q : lines) {
        const std::size_t call = workedCallIndex(layout, q);
        if (call == 0 || !looksLikeCall(q.tokens[call].text))
            continue;
        ++fitting;
        const std::size_t sent = call - kOwnCall - 1;
        const std::size_t received = q.tokens.size() - call - 1;
        if (received >= 1 && isTransmitterNumber(q.tokens.back().text))
            ++digitLast;
        equalWith += sent + 1 == received ? 1 : 0;
        equalWithout += sent == received ? 1 : 0;
    }
    return digitLast > 0 && digitLast * 4 >= fitting * 3 && equalWith >= equalWithout;
}

// Do reports lead the halves? Most of the lines that fit decide each half.
void learnReports(Layout& layout, const std::vector<QsoLine>& lines)
{
    std::size_t sentFields = 0, sentReports = 0, receivedFields = 0, receivedReports = 0;
    for (const QsoLine& q : lines) {
        const std::size_t call = workedCallIndex(layout, q);
        if (call == 0 || !looksLikeCall(q.tokens[call].text))
            continue;
        if (call > kOwnCall + 1) {
            ++sentFields;
            sentReports += looksLikeReport(q.tokens[kOwnCall + 1].text) ? 1 : 0;
        }
        if (call + 1 < q.tokens.size() && call + 1 <= lastReceivedIndex(layout, q)) {
            ++receivedFields;
            receivedReports += looksLikeReport(q.tokens[call + 1].text) ? 1 : 0;
        }
    }
    layout.sentReport = sentReports * 2 > sentFields;
    layout.receivedReport = receivedReports * 2 > receivedFields;
}

} // namespace

Layout learnLayout(const std::vector<QsoLine>& lines, const std::vector<std::string>& headerCalls)
{
    Layout layout;
    layout.ownCalls = headerCalls;
    learnOwnCall(layout, lines, headerCalls);
    if (!placeWorkedCall(layout, lines))
        return layout;
    layout.transmitter = endsWithTransmitter(layout, lines);
    learnReports(layout, lines);
    return layout;
}

} // namespace korvane::cabrillo
