#include "tools/logs/CabrilloReader.h"

#include "contract/AsciiText.h"
#include "tools/logs/Bands.h"
#include "tools/logs/CabrilloHeader.h"
#include "tools/logs/CabrilloLayout.h"
#include "tools/logs/QsoFields.h"
#include "tools/logs/TextUtil.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace korvane {
namespace {

using cabrillo::kDate;
using cabrillo::kFreq;
using cabrillo::kMode;
using cabrillo::kOwnCall;
using cabrillo::kTime;
using cabrillo::Layout;
using cabrillo::QsoLine;

// VHF and up are written as band designators, not kilohertz.
std::optional<std::string> bandFromDesignator(std::string_view freq)
{
    static const std::pair<const char*, const char*> kDesignators[] = {
        {"50", "6"},     {"70", "4"},      {"144", "2"},     {"222", "1.25"},
        {"432", "70CM"}, {"902", "33CM"}, {"1.2G", "23CM"}, {"2.3G", "13CM"},
    };
    for (const auto& [designator, band] : kDesignators)
        if (ascii::upper(freq) == designator)
            return std::string(band);
    return std::nullopt;
}

std::string joined(const QsoLine& q, std::size_t first, std::size_t last)
{
    if (first > last || last >= q.tokens.size())
        return std::string();
    const cabrillo::Token& a = q.tokens[first];
    const cabrillo::Token& b = q.tokens[last];
    return std::string(q.text.substr(a.column, b.column + b.text.size() - a.column));
}

// One half's fields, first to last: the report when the file's halves lead with one,
// then the exchange, whole.
void splitHalf(const QsoLine& q, std::size_t first, std::size_t last, bool report,
               std::string& rst, std::string& exchange)
{
    if (first > last)
        return;
    if (report) {
        rst = std::string(q.tokens[first].text);
        ++first;
    }
    exchange = joined(q, first, last);
}

// "19.03" or "19:03", as some hand-edited logs write the time, is 1903.
bool separatedTime(std::string& time)
{
    if (time.size() != 5 || (time[2] != '.' && time[2] != ':'))
        return false;
    time.erase(2, 1);
    return ascii::allDigits(time);
}

// Microwave QSOs lie past what the host's frequency argument holds: it is given 0 and
// the band, and the kilohertz are kept beside.
void passFrequency(unsigned long long hz, LogQso& out)
{
    if (hz > 0xffffffffull) {
        out.freqHz = 0;
        out.kHzPastHost = static_cast<std::uint32_t>(hz / 1000);
    } else {
        out.freqHz = static_cast<unsigned>(hz);
    }
}

constexpr const char* kTooFewFields = "a QSO line needs frequency, mode, date, time and both callsigns";

struct LineReading {
    bool separatedTime = false; // the time was written "HH.MM"
};

// The QSO, or why the line cannot be one.
std::string toQso(const QsoLine& q, const Layout& layout, LogQso& out, LineReading& reading)
{
    if (q.tokens.size() < kOwnCall + 2)
        return kTooFewFields;
    const std::string freq(q.tokens[kFreq].text);
    const std::optional<unsigned long long> hz = kilohertzToHertz(freq);
    if (hz && bandFromKHz(static_cast<unsigned long>(*hz / 1000))) {
        out.band = *bandFromKHz(static_cast<unsigned long>(*hz / 1000));
        passFrequency(*hz, out);
    } else if (auto band = bandFromDesignator(freq)) {
        out.band = *band;
        out.freqHz = static_cast<unsigned>(bandLowerEdgeKHz(*band) * 1000);
    } else {
        return "frequency " + shown(freq) + " lies in no band";
    }
    out.mode = modeFromCabrillo(std::string(q.tokens[kMode].text));
    std::string timeText(q.tokens[kTime].text);
    reading.separatedTime = separatedTime(timeText);
    const auto time = parseDashedDateTime(std::string(q.tokens[kDate].text), timeText);
    if (!time)
        return "unreadable date or time " + shown(q.tokens[kDate].text) + " " + shown(q.tokens[kTime].text);
    out.time = *time;

    const std::size_t call = cabrillo::workedCallIndex(layout, q);
    if (call == 0)
        return "cannot tell the worked callsign: nothing stands at " + layout.callPlace() +
               ", where the other QSO lines have it";
    out.call = ascii::upper(q.tokens[call].text);
    if (!cabrillo::looksLikeCall(out.call)) {
        std::string why = callsignProblem(out.call);
        if (why.empty())
            why = shown(q.tokens[call].text) + " does not look like a callsign";
        return "cannot tell the worked callsign: " + why + " (at " + layout.callPlace() +
               ", where the other QSO lines have it)";
    }
    const std::string own = ascii::upper(q.tokens[kOwnCall].text);
    if (std::find(layout.ownCalls.begin(), layout.ownCalls.end(), own) == layout.ownCalls.end())
        return "own callsign " + shown(own) + " is not this log's" +
               (layout.ownCalls.empty() ? std::string() : " (" + layout.ownCalls.front() + ")");
    if (layout.transmitter &&
        (q.tokens.size() - 1 <= call || q.tokens.back().text.size() != 1 ||
         !ascii::allDigits(q.tokens.back().text)))
        return "no transmitter number ends the line, as on the other QSO lines";

    splitHalf(q, kOwnCall + 1, call - 1, layout.sentReport, out.rstSent, out.exchSent);
    splitHalf(q, call + 1, cabrillo::lastReceivedIndex(layout, q), layout.receivedReport,
              out.rstReceived, out.exchReceived);
    for (const std::string* text : {&out.mode, &out.rstSent, &out.rstReceived, &out.exchSent, &out.exchReceived})
        if (text->size() > kMaxExchangeLength)
            return "a mode, report or exchange of " + std::to_string(text->size()) +
                   " bytes, longer than " + std::to_string(kMaxExchangeLength);
    return std::string();
}

// The header's call when it is one, and the first value of each category tag.
void takeOwnHeader(ReadLog& log)
{
    if (callsignProblem(log.header.callsign).empty())
        log.ownCall = log.header.callsign;
    for (const auto& category : log.header.categories) {
        const bool first = std::none_of(log.categories.begin(), log.categories.end(),
                                        [&](const auto& c) { return c.first == category.first; });
        if (first)
            log.categories.push_back(category);
    }
}

// A line without even its own call tells the layout nothing: named now and not kept,
// so that a file of such lines costs no more than its problems.
void keepQsoLine(ReadLog& log, std::vector<QsoLine>& lines, std::size_t number, std::string_view line)
{
    std::vector<cabrillo::Token> tokens = cabrillo::tokenize(line);
    if (tokens.size() <= kOwnCall)
        log.addProblem(number, kTooFewFields, true);
    else
        lines.push_back({number, line, std::move(tokens)});
}

} // namespace

ReadLog readCabrillo(std::string_view text, const ReadLimits& limits)
{
    ReadLog log;
    log.limits = limits;
    log.format = LogFormat::Cabrillo;
    std::vector<QsoLine> qsoLines;
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
            log.addProblem(number, "text after END-OF-LOG, ignored", false);
            break;
        }
        const std::string tag = headerTag(line);
        if (tag == "END-OF-LOG")
            ended = true;
        else if (tag == "QSO")
            keepQsoLine(log, qsoLines, number, line);
        else if (!tag.empty())
            takeHeaderLine(tag, line, number, log.header);
    }
    takeOwnHeader(log);

    std::vector<std::string> headerCalls;
    if (!log.ownCall.empty())
        headerCalls.push_back(log.ownCall);
    for (const std::string& op : operatorCalls(log.header.operators))
        if (op != log.ownCall)
            headerCalls.push_back(op);
    const Layout layout = cabrillo::learnLayout(qsoLines, headerCalls);

    bool timesNamed = false;
    for (const QsoLine& q : qsoLines) {
        LogQso qso;
        qso.line = q.number;
        LineReading reading;
        const std::string why = toQso(q, layout, qso, reading);
        if (!why.empty()) {
            log.addProblem(q.number, why, true);
            continue;
        }
        if (reading.separatedTime && !timesNamed) {
            log.addProblem(q.number, "times written as HH.MM, read as HHMM", false);
            timesNamed = true;
        }
        log.qsos.push_back(std::move(qso));
    }
    // Without a CALLSIGN line, the own call the QSO lines give most often.
    if (log.ownCall.empty())
        log.ownCall = layout.linesOwnCall;
    std::stable_sort(log.problems.begin(), log.problems.end(),
                     [](const LogProblem& a, const LogProblem& b) { return a.line < b.line; });
    return log;
}

} // namespace korvane
