#include "tools/judge/ContestLogs.h"

#include "contract/AsciiText.h"
#include "tools/judge/Categories.h"
#include "tools/judge/LogIntake.h"
#include "tools/logs/CabrilloLayout.h"
#include "tools/logs/QsoFields.h"
#include "tools/logs/TextUtil.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace korvane::judge {
namespace {

constexpr std::uint32_t kTextExchange = 0x80000000u;
constexpr std::uint32_t kEmptyExchange = 0x40000000u;
constexpr std::size_t kMaxNumericExchangeDigits = 9; // below kEmptyExchange

// Upper case, blanks collapsed, leading zeros dropped from numbers.
std::string normalExchange(std::string_view text)
{
    std::string out;
    // Words as a QSO line's fields are told apart.
    for (const cabrillo::Token& token : cabrillo::tokenize(text)) {
        std::string word = ascii::upper(token.text);
        if (ascii::allDigits(word)) {
            const std::size_t nonZero = word.find_first_not_of('0');
            word = nonZero == std::string::npos ? "0" : word.substr(nonZero);
        }
        out += (out.empty() ? "" : " ") + word;
    }
    return out;
}

// A log's few distinct bands, modes or reports, looked up without hashing each time.
class FewTexts {
public:
    explicit FewTexts(TextTable& table) : table_(table) {}
    std::uint32_t id(const std::string& text)
    {
        for (const auto& [seen, id] : seen_)
            if (seen == text)
                return id;
        const std::uint32_t id = table_.intern(text);
        if (seen_.size() < kKept)
            seen_.emplace_back(text, id);
        return id;
    }

private:
    static constexpr std::size_t kKept = 16;
    TextTable& table_;
    std::vector<std::pair<std::string, std::uint32_t>> seen_;
};

} // namespace

std::vector<StationRange> splitByQsos(const ContestLogs& logs, unsigned parts)
{
    const auto n = static_cast<std::uint32_t>(logs.stations.size());
    std::vector<StationRange> ranges;
    if (n == 0)
        return ranges;
    parts = std::max(1u, std::min(parts, n));
    const std::size_t total = logs.qsos.size();
    std::uint32_t first = 0;
    std::size_t seen = 0;
    for (unsigned p = 1; p <= parts; ++p) {
        // Ends where the QSOs so far reach p parts of the whole, leaving a station for
        // every part still to come.
        const std::size_t target = total * p / parts;
        std::uint32_t last = first;
        do
            seen += logs.stations[last++].count;
        while (last < n - (parts - p) && seen < target);
        if (p == parts)
            last = n;
        ranges.push_back({first, last});
        first = last;
    }
    return ranges;
}

StationRange stationHalf(const ContestLogs& logs, unsigned half)
{
    const std::vector<StationRange> halves = splitByQsos(logs, 2);
    return half < halves.size() ? halves[half] : StationRange{};
}

std::uint32_t ContestLogs::stationOf(std::uint32_t index) const
{
    const auto it = std::upper_bound(stations.begin(), stations.end(), index,
                                     [](std::uint32_t i, const Station& s) { return i < s.first; });
    return static_cast<std::uint32_t>(it - stations.begin()) - 1;
}

void ContestLogs::indexStations()
{
    stationOfCall.assign(calls.size(), kNoIndex);
    for (std::size_t s = 0; s < stations.size(); ++s)
        stationOfCall[stations[s].callId] = static_cast<std::uint32_t>(s);
}

std::size_t ContestLogs::bytesHeld() const
{
    std::size_t bytes = qsos.size() * sizeof(CompactQso) +
                        stationOfCall.capacity() * sizeof(std::uint32_t) +
                        stations.capacity() * sizeof(Station);
    for (const Station& s : stations)
        bytes += s.file.capacity() + s.call.capacity() + s.category.capacity() + s.operators.capacity();
    for (const TextTable* t : {&calls, &exchanges, &reports, &bands, &modes})
        bytes += t->bytesHeld();
    return bytes;
}

std::uint32_t encodeExchange(std::string_view text, TextTable& texts)
{
    // Nearly every exchange is a serial number: no text to build for it.
    if (!text.empty() && text.size() <= kMaxNumericExchangeDigits && ascii::allDigits(text)) {
        std::uint32_t n = 0;
        for (char c : text)
            n = n * 10 + static_cast<std::uint32_t>(c - '0');
        return n;
    }
    const std::string normal = normalExchange(text);
    if (normal.empty())
        return kEmptyExchange;
    if (ascii::allDigits(normal) && normal.size() <= kMaxNumericExchangeDigits)
        return static_cast<std::uint32_t>(std::stoul(normal));
    return kTextExchange | texts.intern(normal);
}

bool loneNumber(std::uint32_t code)
{
    return code < kEmptyExchange;
}

void exchangeText(std::uint32_t code, const TextTable& texts, std::string& out)
{
    if (code == kEmptyExchange) {
        out.clear();
    } else if (code & kTextExchange) {
        out = texts.text(code & ~kTextExchange);
    } else {
        // At least three digits, as serials are sent ("007"). Once per QSO given to the
        // plug-in, so without a format string.
        char digits[16] = {'0', '0', '0'};
        const auto end = std::to_chars(digits + 3, digits + sizeof digits, code).ptr;
        const std::size_t written = static_cast<std::size_t>(end - (digits + 3));
        const std::size_t width = std::max<std::size_t>(written, 3);
        out.assign(end - width, width);
    }
}

std::string exchangeText(std::uint32_t code, const TextTable& texts)
{
    std::string text;
    exchangeText(code, texts, text);
    return text;
}

namespace {

// Counts the QSO lines the reader skipped; false with the first of them when the log
// may not lose any.
bool countSkipped(const ReadLog& log, bool lenient, Station& station, std::string* reason, std::size_t* line)
{
    for (const LogProblem& p : log.problems) {
        if (!p.recordSkipped)
            continue;
        if (!lenient) {
            *reason = "broken QSO line: " + p.message;
            *line = p.line;
            return false;
        }
        ++station.skippedLines;
    }
    return true;
}

// The records go straight into the contest's storage and are taken back out if the log
// turns out unusable, so that a log never exists twice in memory.
bool appendQsos(ContestLogs& logs, const ReadLog& log, std::string* reason, std::size_t* line)
{
    const std::size_t first = logs.qsos.size();
    auto refuse = [&](std::string why, std::size_t at) {
        logs.qsos.resize(first);
        *reason = std::move(why);
        *line = at;
        return false;
    };
    FewTexts bands(logs.bands), modes(logs.modes), reports(logs.reports);
    for (const LogQso& q : log.qsos) {
        const std::optional<Minute> minute = minuteOf(q.time);
        if (!minute)
            return refuse("a QSO without a date the judge holds (1900 to 4999)", q.line);
        CompactQso r;
        r.call = logs.calls.intern(q.call);
        r.sent = encodeExchange(q.exchSent, logs.exchanges);
        r.received = encodeExchange(q.exchReceived, logs.exchanges);
        r.freqKHz = q.kHzPastHost ? q.kHzPastHost : q.freqHz / 1000;
        r.minute = *minute;
        r.line = static_cast<std::uint32_t>(q.line);
        const std::uint32_t rs = reports.id(q.rstSent), rr = reports.id(q.rstReceived);
        const std::uint32_t band = bands.id(q.band), mode = modes.id(q.mode);
        if (rs > 0xffff || rr > 0xffff || band > 0xff || mode > 0xff)
            return refuse("more distinct bands, modes or reports than the judge can hold", q.line);
        r.rstSent = static_cast<std::uint16_t>(rs);
        r.rstReceived = static_cast<std::uint16_t>(rr);
        r.band = static_cast<std::uint8_t>(band);
        r.mode = static_cast<std::uint8_t>(mode);
        logs.qsos.push_back(r);
    }
    return true;
}

} // namespace

bool addStation(ContestLogs& logs, const std::string& file, const ReadLog& log, bool lenient,
                std::string* reason, std::size_t* line)
{
    const LogIdentity identity = identityOf(log);
    *line = identity.line;
    if (identity.call.empty()) {
        *reason = identity.problem;
        return false;
    }
    // The call names the station's report file and stands in every published table.
    if (std::string why = callsignProblem(identity.call); !why.empty()) {
        *reason = "CALLSIGN: " + why;
        return false;
    }
    *line = 0;
    Station station;
    const std::size_t first = logs.qsos.size();
    if (!countSkipped(log, lenient, station, reason, line) || !appendQsos(logs, log, reason, line))
        return false;
    station.file = file;
    station.call = identity.call;
    station.callId = logs.calls.intern(identity.call);
    if (!identity.note.empty())
        station.notes.push_back(identity.note);
    station.category = categoryLabel(log.header, &station.notes);
    station.checkLog = isCheckLog(log.header);
    station.claimedScore = log.header.claimedScore;
    station.operators = log.header.operators;
    station.first = static_cast<std::uint32_t>(first);
    station.count = static_cast<std::uint32_t>(logs.qsos.size() - first);
    logs.stations.push_back(std::move(station));
    return true;
}

void toLogQso(const ContestLogs& logs, const CompactQso& qso, LogQso& q)
{
    q.call = logs.calls.text(qso.call);
    q.band = logs.bands.text(qso.band);
    q.mode = logs.modes.text(qso.mode);
    q.rstSent = logs.reports.text(qso.rstSent);
    q.rstReceived = logs.reports.text(qso.rstReceived);
    exchangeText(qso.sent, logs.exchanges, q.exchSent);
    exchangeText(qso.received, logs.exchanges, q.exchReceived);
    // What the reader did past the host's range, done again.
    const bool pastHost = qso.freqKHz > 0xffffffffu / 1000;
    q.freqHz = pastHost ? 0 : qso.freqKHz * 1000;
    q.kHzPastHost = pastHost ? qso.freqKHz : 0;
    q.time = oleOf(qso.minute);
    q.line = qso.line;
}

LogQso toLogQso(const ContestLogs& logs, const CompactQso& qso)
{
    LogQso q;
    toLogQso(logs, qso, q);
    return q;
}

std::string cabrilloLine(const ContestLogs& logs, const Station& station, const CompactQso& qso)
{
    const std::string& mode = logs.modes.text(qso.mode);
    const char* code = mode == "SSB" ? "PH" : mode.c_str();
    char text[256];
    std::snprintf(text, sizeof text, "QSO: %5u %-2s %s %-13s %-3s %-6s %-13s %-3s %s", qso.freqKHz,
                  code, formatMinute(qso.minute, "%Y-%m-%d %H%M").c_str(), station.call.c_str(),
                  logs.reports.text(qso.rstSent).c_str(),
                  exchangeText(qso.sent, logs.exchanges).c_str(), logs.calls.text(qso.call).c_str(),
                  logs.reports.text(qso.rstReceived).c_str(),
                  exchangeText(qso.received, logs.exchanges).c_str());
    std::string line = text;
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

} // namespace korvane::judge
