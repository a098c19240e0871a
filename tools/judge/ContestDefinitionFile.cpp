#include "tools/judge/ContestDefinitionFile.h"

#include "contract/AsciiText.h"
#include "tools/logs/CabrilloLayout.h"
#include "tools/logs/QsoFields.h"
#include "tools/logs/TextUtil.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>

namespace korvane::judge {
namespace {

// A definition is a few lines; anything larger is not one.
constexpr std::size_t kMaxDefinitionBytes = 64 * 1024;

std::vector<std::string> words(const std::string& value)
{
    std::vector<std::string> out;
    for (const cabrillo::Token& t : cabrillo::tokenize(value))
        out.push_back(ascii::upper(t.text));
    return out;
}

// "80M" and "80" are one band; the readers say "80".
std::string bandName(std::string band)
{
    band = ascii::upper(band);
    if (band.size() > 1 && band.back() == 'M' && ascii::isDigit(band[band.size() - 2]))
        band.pop_back();
    return band;
}

std::string modeName(const std::string& mode) { return ascii::upper(modeFromCabrillo(ascii::upper(mode))); }

// "2024-03-21 19:00" or "2024-03-21 1900", UTC.
std::optional<Minute> minuteFrom(const std::string& value)
{
    const std::vector<std::string> parts = words(value);
    if (parts.size() != 2)
        return std::nullopt;
    std::string time = parts[1];
    time.erase(std::remove(time.begin(), time.end(), ':'), time.end());
    const auto date = parseDashedDateTime(parts[0], time);
    return date ? minuteOf(*date) : std::nullopt;
}

std::optional<bool> yesNo(const std::string& value)
{
    const std::string v = ascii::upper(value);
    if (v == "YES" || v == "TRUE" || v == "1")
        return true;
    if (v == "NO" || v == "FALSE" || v == "0")
        return false;
    return std::nullopt;
}

// "NAME:name:constant" and the like, blank-separated.
bool exchangeParts(const std::string& value, std::vector<ExchangePart>& parts, std::string& why)
{
    parts.clear();
    for (const std::string& word : words(value)) {
        std::vector<std::string> bits;
        for (std::size_t from = 0;;) {
            const std::size_t colon = word.find(':', from);
            bits.push_back(word.substr(from, colon - from));
            if (colon == std::string::npos)
                break;
            from = colon + 1;
        }
        ExchangePart part;
        part.label = bits[0];
        const bool kindKnown = bits.size() >= 2 && (bits[1] == "NAME" || bits[1] == "NUMBER");
        if (part.label.empty() || !kindKnown || bits.size() > 3 || (bits.size() == 3 && bits[2] != "CONSTANT")) {
            why = shown(word) + " is not LABEL:name or LABEL:number, with :constant after it when it is";
            return false;
        }
        part.kind = bits[1] == "NAME" ? PartKind::Name : PartKind::Number;
        part.constant = bits.size() == 3;
        parts.push_back(part);
    }
    if (parts.empty())
        why = "an exchange of no parts";
    return !parts.empty();
}

std::vector<std::string> commaList(const std::string& value)
{
    std::vector<std::string> out;
    for (std::size_t from = 0; from <= value.size();) {
        const std::size_t comma = std::min(value.find(',', from), value.size());
        std::string item;
        for (const std::string& w : words(value.substr(from, comma - from)))
            item += (item.empty() ? "" : " ") + w;
        if (!item.empty())
            out.push_back(item);
        from = comma + 1;
    }
    return out;
}

// Each key takes its value into the definition and says why the value will not do, or
// nothing when it does.
using KeyReader = std::string (*)(const std::string& value, ContestDefinition& d);

std::string dateInto(std::optional<Minute>& field, const std::string& value)
{
    field = minuteFrom(value);
    return field ? std::string() : "not a UTC date and time (write 2024-03-21 19:00)";
}

std::string readName(const std::string& v, ContestDefinition& d)
{
    d.name = v;
    return v.empty() ? "a contest needs a name" : "";
}
std::string readStart(const std::string& v, ContestDefinition& d) { return dateInto(d.start, v); }
std::string readEnd(const std::string& v, ContestDefinition& d) { return dateInto(d.end, v); }
std::string readDeadline(const std::string& v, ContestDefinition& d) { return dateInto(d.deadline, v); }

std::string readBands(const std::string& v, ContestDefinition& d)
{
    d.bands.clear();
    for (const std::string& b : words(v))
        d.bands.push_back(bandName(b));
    return std::string();
}

std::string readModes(const std::string& v, ContestDefinition& d)
{
    d.modes.clear();
    for (const std::string& m : words(v))
        d.modes.push_back(modeName(m));
    return std::string();
}

std::string readExchange(const std::string& v, ContestDefinition& d)
{
    std::string why;
    exchangeParts(v, d.exchange, why);
    return why;
}

std::string readFixedWords(const std::string& v, ContestDefinition& d)
{
    d.fixedWords = words(v);
    return std::string();
}

std::string readMissingName(const std::string& v, ContestDefinition& d)
{
    const std::optional<bool> b = yesNo(v);
    d.missingNameIsBust = b.value_or(false);
    return b ? std::string() : "yes or no";
}

std::string readSuffixes(const std::string& v, ContestDefinition& d)
{
    const std::string rule = ascii::upper(v);
    d.suffixes = rule == "BUST" ? SuffixRule::Bust : SuffixRule::Ignore;
    return rule == "BUST" || rule == "IGNORE" ? std::string() : "ignore or bust";
}

std::string readUniqueBustLogs(const std::string& v, ContestDefinition& d)
{
    int n = -1;
    const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    d.uniqueBustLogs = n;
    const bool whole = ec == std::errc() && ptr == v.data() + v.size() && n >= 0 && n <= 1000;
    return whole ? std::string() : "a whole number from 0 to 1000";
}

std::string readCategories(const std::string& v, ContestDefinition& d)
{
    d.categories = commaList(v);
    return std::string();
}

const std::pair<const char*, KeyReader> kKeys[] = {
    {"name", readName},
    {"start", readStart},
    {"end", readEnd},
    {"deadline", readDeadline},
    {"bands", readBands},
    {"modes", readModes},
    {"exchange", readExchange},
    {"fixed-words", readFixedWords},
    {"missing-name-is-bust", readMissingName},
    {"suffixes", readSuffixes},
    {"unique-bust-logs", readUniqueBustLogs},
    {"categories", readCategories},
};

std::string takeKey(const std::string& key, const std::string& value, ContestDefinition& d)
{
    for (const auto& [name, read] : kKeys)
        if (key == name)
            return read(value, d);
    std::string known;
    for (const auto& entry : kKeys)
        known += (known.empty() ? "" : ", ") + std::string(entry.first);
    return "no such key (" + known + ")";
}

std::string periodProblem(const ContestDefinition& d, const std::set<std::string>& keys)
{
    if (keys.count("start") != keys.count("end"))
        return "start and end are given together";
    if (d.start && d.end && *d.end <= *d.start)
        return "the contest must end after it starts";
    return std::string();
}

// One line of the file: a comment, the section, or a key and its value; why not, or
// nothing when it is taken.
std::string takeLine(std::string_view text, ContestDefinition& d, std::set<std::string>& seen)
{
    std::string line = trim(text);
    if (const std::size_t comment = line.find(';'); comment != std::string::npos)
        line = trim(line.substr(0, comment));
    if (line.empty() || line[0] == '#')
        return std::string();
    if (line.front() == '[')
        return ascii::lower(line) == "[contest]" ? std::string() : shown(line) + ": the only section is [contest]";
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos)
        return shown(line) + " is not KEY = VALUE";
    const std::string key = ascii::lower(trim(line.substr(0, equals)));
    if (!seen.insert(key).second)
        return shown(key) + " is given twice";
    if (std::string why = takeKey(key, trim(line.substr(equals + 1)), d); !why.empty())
        return shown(key) + ": " + why;
    return std::string();
}

} // namespace

ContestDefinition korvaneContest()
{
    ContestDefinition d;
    d.start = minuteFrom("2026-11-21 15:00");
    d.end = minuteFrom("2026-11-21 18:00");
    return d;
}

bool readContestDefinition(std::string_view text, ContestDefinition& out, std::string* error)
{
    if (text.size() > kMaxDefinitionBytes) {
        *error = "larger than " + std::to_string(kMaxDefinitionBytes / 1024) + " KB, not a contest definition";
        return false;
    }
    ContestDefinition d = korvaneContest();
    std::set<std::string> seen;
    std::size_t number = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t lf = std::min(text.find('\n', pos), text.size());
        ++number;
        if (std::string why = takeLine(text.substr(pos, lf - pos), d, seen); !why.empty()) {
            *error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
        pos = lf + 1;
    }
    if (std::string why = periodProblem(d, seen); !why.empty()) {
        *error = why;
        return false;
    }
    out = std::move(d);
    return true;
}

bool loadContestDefinition(const std::string& path, ContestDefinition& out, std::string* error)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        *error = "cannot open the file";
        return false;
    }
    std::string text;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0 && text.size() <= kMaxDefinitionBytes)
        text.append(chunk, n);
    std::fclose(f);
    return readContestDefinition(text, out, error);
}

bool inContest(const ContestDefinition& contest, const std::string& band, const std::string& mode)
{
    auto listed = [](const std::vector<std::string>& list, const std::string& text) {
        return list.empty() || std::find(list.begin(), list.end(), text) != list.end();
    };
    return listed(contest.bands, bandName(band)) && listed(contest.modes, modeName(mode));
}

} // namespace korvane::judge
