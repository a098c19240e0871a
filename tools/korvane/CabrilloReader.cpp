#include "tools/korvane/CabrilloReader.h"

#include "tools/korvane/Bands.h"
#include "tools/korvane/QsoFields.h"
#include "tools/korvane/TextUtil.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace korvane {
namespace {

struct Token {
    std::size_t column;
    std::string_view text;
};

struct QsoLine {
    std::size_t number;
    std::string_view text;
    std::vector<Token> tokens; // tokens[0] is "QSO:"
};

constexpr std::size_t kFirstHalf = 5; // QSO: freq mode date time
// Where the Cabrillo template (and the plug-in's writer) puts the worked call.
constexpr std::size_t kTemplateCallColumn = 55;

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

std::size_t fieldsAfterTime(const QsoLine& q)
{
    return q.tokens.size() > kFirstHalf ? q.tokens.size() - kFirstHalf : 0;
}

// The column where the worked call stands in an aligned file: where it stands in most
// lines whose halves are of equal length.
std::optional<std::size_t> learnCallColumn(const std::vector<QsoLine>& lines)
{
    std::map<std::size_t, std::size_t> counts;
    std::size_t symmetric = 0;
    for (const QsoLine& q : lines) {
        const std::size_t n = fieldsAfterTime(q);
        if (n >= 2 && n % 2 == 0) {
            ++symmetric;
            ++counts[q.tokens[kFirstHalf + n / 2].column];
        }
    }
    for (const auto& [column, count] : counts)
        if (count >= 2 && count * 5 >= symmetric * 4)
            return column;
    return std::nullopt;
}

// VHF and up are written as band designators, not kilohertz.
std::optional<std::string> bandFromDesignator(std::string_view freq)
{
    static const std::pair<const char*, const char*> kDesignators[] = {
        {"50", "6"},     {"70", "4"},      {"144", "2"},     {"222", "1.25"},
        {"432", "70CM"}, {"902", "33CM"}, {"1.2G", "23CM"}, {"2.3G", "13CM"},
    };
    for (const auto& [designator, band] : kDesignators)
        if (toUpper(freq) == designator)
            return std::string(band);
    return std::nullopt;
}

std::string joined(const QsoLine& q, std::size_t first, std::size_t last)
{
    if (first > last)
        return std::string();
    const Token& a = q.tokens[first];
    const Token& b = q.tokens[last];
    return std::string(q.text.substr(a.column, b.column + b.text.size() - a.column));
}

// The QSO, or why the line cannot be one.
std::string toQso(const QsoLine& q, std::optional<std::size_t> callColumn, LogQso& out)
{
    const std::size_t n = fieldsAfterTime(q);
    if (n < 2)
        return "a QSO line needs frequency, mode, date, time and both callsigns";
    const std::string freq(q.tokens[1].text);
    if (allDigits(freq) && freq.size() <= 7 && bandFromKHz(std::stoul(freq))) {
        out.band = *bandFromKHz(std::stoul(freq));
        out.freqHz = static_cast<unsigned>(std::stoul(freq) * 1000);
    } else if (auto band = bandFromDesignator(freq)) {
        out.band = *band;
        out.freqHz = static_cast<unsigned>(bandLowerEdgeKHz(*band) * 1000);
    } else {
        return "frequency " + shown(freq) + " lies in no band";
    }
    out.mode = modeFromCabrillo(std::string(q.tokens[2].text));
    const auto time = parseDashedDateTime(std::string(q.tokens[3].text), std::string(q.tokens[4].text));
    if (!time)
        return "unreadable date or time " + shown(q.tokens[3].text) + " " + shown(q.tokens[4].text);
    out.time = *time;

    std::size_t call = 0; // index into tokens of the worked call
    for (std::size_t i = kFirstHalf + 1; callColumn && i < q.tokens.size(); ++i)
        if (q.tokens[i].column == *callColumn)
            call = i;
    if (call == 0 && n % 2 == 0)
        call = kFirstHalf + n / 2;
    for (std::size_t i = kFirstHalf + 1; call == 0 && i < q.tokens.size(); ++i)
        if (q.tokens[i].column == kTemplateCallColumn)
            call = i;
    if (call == 0)
        return "cannot tell the worked callsign from the exchanges (" + std::to_string(n) +
               " fields after the time, not aligned with the other lines)";

    out.call = toUpper(std::string(q.tokens[call].text));
    if (std::string why = callsignProblem(out.call); !why.empty())
        return why;
    const std::size_t last = q.tokens.size() - 1;
    out.rstSent = call > kFirstHalf + 1 ? std::string(q.tokens[kFirstHalf + 1].text) : "";
    out.exchSent = joined(q, kFirstHalf + 2, call - 1);
    out.rstReceived = call + 1 <= last ? std::string(q.tokens[call + 1].text) : "";
    out.exchReceived = joined(q, call + 2, last);
    for (const std::string* text : {&out.mode, &out.rstSent, &out.rstReceived, &out.exchSent, &out.exchReceived})
        if (text->size() > kMaxExchangeLength)
            return "a mode, report or exchange of " + std::to_string(text->size()) +
                   " bytes, longer than " + std::to_string(kMaxExchangeLength);
    return std::string();
}

std::string tagOf(std::string_view line)
{
    const std::size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string() : toUpper(trim(line.substr(0, colon)));
}

} // namespace

ReadLog readCabrillo(std::string_view text)
{
    ReadLog log;
    log.format = LogFormat::Cabrillo;
    std::vector<QsoLine> qsoLines;
    std::string firstOwnCall;
    bool ended = false;
    std::size_t number = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t lf = text.find('\n', pos);
        std::string_view line = text.substr(pos, (lf == std::string_view::npos ? text.size() : lf) - pos);
        pos = lf == std::string_view::npos ? text.size() : lf + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (trim(line).empty())
            continue;
        if (ended) {
            log.problems.push_back({number, "text after END-OF-LOG, ignored", false});
            break;
        }
        const std::string tag = tagOf(line);
        if (tag == "END-OF-LOG") {
            ended = true;
        } else if (tag == "CALLSIGN") {
            const std::string call = toUpper(trim(line.substr(line.find(':') + 1)));
            if (callsignProblem(call).empty())
                log.ownCall = call;
        } else if (tag == "QSO") {
            qsoLines.push_back({number, line, tokenize(line)});
        }
    }

    const std::optional<std::size_t> callColumn = learnCallColumn(qsoLines);
    for (const QsoLine& q : qsoLines) {
        LogQso qso;
        qso.line = q.number;
        const std::string why = toQso(q, callColumn, qso);
        if (!why.empty()) {
            log.problems.push_back({q.number, why, true});
            continue;
        }
        if (firstOwnCall.empty() && callsignProblem(toUpper(std::string(q.tokens[kFirstHalf].text))).empty())
            firstOwnCall = toUpper(std::string(q.tokens[kFirstHalf].text));
        log.qsos.push_back(std::move(qso));
    }
    if (log.ownCall.empty())
        log.ownCall = firstOwnCall;
    std::stable_sort(log.problems.begin(), log.problems.end(),
                     [](const LogProblem& a, const LogProblem& b) { return a.line < b.line; });
    return log;
}

} // namespace korvane
