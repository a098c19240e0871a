#include "tools/robot/LogChecker.h"

#include "contract/AsciiText.h"
#include "tools/judge/Categories.h"
#include "tools/judge/ContestDefinitionFile.h"
#include "tools/judge/Minutes.h"
#include "tools/logs/CabrilloHeader.h"
#include "tools/logs/CabrilloLayout.h"
#include "tools/logs/LogFile.h"
#include "tools/logs/TextUtil.h"
#include "tools/output/ControlText.h"
#include "tools/robot/AdifConversion.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

namespace korvane::robot {
namespace {

using Level = CheckLine::Level;

// A log of many thousand bad lines tells the entrant no more after the first few dozen
// of each kind; the rest are counted.
constexpr std::size_t kListedPerKind = 50;
constexpr std::size_t kQuotedBytes = 200;
// The reader's problems past these are counted, not kept: enough to fill the listed ones
// after those on lines that name another station are passed over.
constexpr std::size_t kReaderProblemsKept = 1000;

// Calls f(number, line) for each line of the text, from 1, without its line end.
template <typename F>
void forEachLine(std::string_view text, F&& f)
{
    std::size_t number = 0;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = text.find('\n', at);
        std::string_view line = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        f(++number, line);
        if (end == std::string_view::npos)
            break;
        at = end + 1;
    }
}

// What is kept stays bounded by kListedPerKind per kind, whatever the upload: the lines
// are quoted once at the end, only those listed.
class Findings {
public:
    explicit Findings(std::string_view text) : text_(text) {}

    // kind groups findings for the bound; it is never shown.
    void add(Level level, std::size_t number, const std::string& message, const std::string& kind)
    {
        std::size_t& seen = perKind_[kind];
        if (++seen > kListedPerKind) {
            addUnlisted(level, kind, 1);
            return;
        }
        out_.push_back({level, number, {}, message});
    }

    // Findings only counted, as those a reader counted rather than kept.
    void addUnlisted(Level level, const std::string& kind, std::size_t count)
    {
        if (count == 0)
            return;
        auto& [shown, counted] = overflow_[kind];
        if (counted == 0 || level == Level::Error)
            shown = level;
        counted += count;
    }

    // Lines that name another station: the reader's word on them would say it twice.
    void noteStation(std::size_t number) { stationLines_.push_back(number); }
    bool stationOn(std::size_t number) const
    {
        return std::binary_search(stationLines_.begin(), stationLines_.end(), number);
    }

    std::vector<CheckLine> finish()
    {
        for (const auto& [kind, count] : overflow_)
            out_.push_back({count.first, 0, "", "and " + std::to_string(count.second) + " more lines like the ones above"});
        std::stable_sort(out_.begin(), out_.end(), [](const CheckLine& a, const CheckLine& b) { return a.line < b.line; });
        quoteLines();
        std::stable_sort(out_.begin(), out_.end(), [](const CheckLine& a, const CheckLine& b) {
            if (a.level != b.level)
                return a.level == Level::Error;
            return a.line < b.line;
        });
        return std::move(out_);
    }

private:
    // out_ is in line order here: one walk over the text quotes them all.
    void quoteLines()
    {
        std::size_t next = 0;
        while (next < out_.size() && out_[next].line == 0)
            ++next;
        if (next == out_.size())
            return;
        forEachLine(text_, [&](std::size_t number, std::string_view text) {
            for (; next < out_.size() && out_[next].line == number; ++next) {
                out_[next].quoted = controlsEscaped(text.substr(0, kQuotedBytes));
                if (text.size() > kQuotedBytes)
                    out_[next].quoted += "...";
            }
        });
    }

    std::string_view text_;
    std::map<std::string, std::size_t> perKind_;
    std::vector<std::size_t> stationLines_; // rising
    std::map<std::string, std::pair<Level, std::size_t>> overflow_;
    std::vector<CheckLine> out_;
};

bool holdsNul(std::string_view bytes) { return bytes.find('\0') != std::string_view::npos; }

// UTF-16 from its byte-order mark, or from NULs in every other byte of plain text.
bool looksLikeUtf16(std::string_view bytes)
{
    if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
        return true;
    const std::size_t n = std::min<std::size_t>(bytes.size(), 400) & ~std::size_t{1};
    if (n < 8)
        return false;
    std::size_t evenNul = 0, oddNul = 0;
    for (std::size_t i = 0; i < n; i += 2) {
        evenNul += bytes[i] == '\0';
        oddNul += bytes[i + 1] == '\0';
    }
    return std::max(evenNul, oddNul) * 10 >= (n / 2) * 9;
}

std::string formatOf(const ReadLog& log)
{
    if (log.format == LogFormat::Adif)
        return "ADIF";
    const std::string& v = log.header.version;
    if (v.empty())
        return "Cabrillo";
    return "Cabrillo " + v;
}

std::vector<std::string> wordsOf(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

// The exchange's parts a QSO side lacks, by the definition's labels; the contest's own
// fixed words are no parts.
std::string missingParts(const std::string& exchange, const judge::ContestDefinition& contest)
{
    std::size_t parts = 0;
    for (const std::string& w : wordsOf(exchange))
        parts += std::find(contest.fixedWords.begin(), contest.fixedWords.end(), ascii::upper(w)) == contest.fixedWords.end();
    std::string missing;
    for (std::size_t k = parts; k < contest.exchange.size(); ++k)
        missing += (missing.empty() ? "" : " and ") + contest.exchange[k].label;
    return missing;
}

void checkCall(const ReadLog& log, Findings& f)
{
    // The Cabrillo reader may take the call from the QSO lines; the header must name it.
    if (log.ownCall.empty() || (log.format == LogFormat::Cabrillo && log.header.callsign.empty())) {
        f.add(Level::Error, 0,
              log.format == LogFormat::Adif ? "no STATION_CALLSIGN (or one OPERATOR) names the station"
                                            : "no CALLSIGN: line names the station",
              "call");
        return;
    }
    // The reader passes over a header call that is none and takes the QSO lines' call,
    // which would receipt the log under a call its sender never wrote.
    const std::string& named = log.format == LogFormat::Cabrillo ? log.header.callsign : log.ownCall;
    if (!cabrillo::looksLikeCall(named))
        f.add(Level::Error, log.header.callsignLine,
              "CALLSIGN " + controlsEscaped(named) + " does not look like a callsign", "call");
}

// The call without its portable or power parts: the longest of its '/' parts.
std::string_view bareCall(std::string_view call)
{
    std::string_view best;
    for (std::size_t at = 0; at <= call.size();) {
        std::size_t slash = call.find('/', at);
        if (slash == std::string_view::npos)
            slash = call.size();
        if (slash - at > best.size())
            best = call.substr(at, slash - at);
        at = slash + 1;
    }
    return best;
}

// A QSO line may give the call without /P, or an operator's own call.
bool sameStation(const std::string& sent, const std::string& own, const std::vector<std::string>& operators)
{
    return sent == own || bareCall(sent) == bareCall(own) ||
           std::find(operators.begin(), operators.end(), sent) != operators.end();
}

// One station per log: every QSO line's own call must be the log's.
void checkOneStation(std::string_view text, const ReadLog& log, Findings& f)
{
    if (log.ownCall.empty())
        return;
    const std::string own = ascii::upper(log.ownCall);
    if (log.format == LogFormat::Cabrillo) {
        const std::vector<std::string> operators = operatorCalls(log.header.operators);
        // Every QSO: line, also those the reader left out for this very reason.
        forEachLine(text, [&](std::size_t number, std::string_view line) {
            if (line.size() < 4 || ascii::upper(line.substr(0, 4)) != "QSO:")
                return;
            const std::vector<cabrillo::Token> tokens = cabrillo::tokenize(line);
            if (tokens.size() <= cabrillo::kOwnCall)
                return;
            const std::string sent = ascii::upper(tokens[cabrillo::kOwnCall].text);
            if (sameStation(sent, own, operators) || !cabrillo::looksLikeCall(sent))
                return;
            f.noteStation(number);
            f.add(Level::Error, number,
                  "one station per log: this QSO was made by " + controlsEscaped(sent) + ", the log's CALLSIGN is " +
                      controlsEscaped(own),
                  "station");
        });
        return;
    }
    // ADIF: every STATION_CALLSIGN field.
    static constexpr std::string_view tag = "<station_callsign:";
    std::size_t line = 1, counted = 0;
    for (std::size_t at = findNoCase(text, tag, 0); at != std::string_view::npos;
         at = findNoCase(text, tag, at + 1)) {
        line += static_cast<std::size_t>(std::count(text.begin() + counted, text.begin() + at, '\n'));
        counted = at;
        const std::size_t close = text.find('>', at);
        if (close == std::string_view::npos)
            break;
        std::size_t length = 0;
        for (std::size_t i = at + tag.size(); i < close && ascii::isDigit(text[i]) && length < 1000; ++i)
            length = length * 10 + static_cast<std::size_t>(text[i] - '0');
        const std::string value = ascii::upper(std::string(text.substr(close + 1, length)));
        if (!value.empty() && !sameStation(value, own, {})) {
            f.noteStation(line);
            f.add(Level::Error, line,
                  "one station per log: this record names STATION_CALLSIGN " + controlsEscaped(value) +
                      ", the log's station is " + controlsEscaped(own),
                  "station");
        }
    }
}

void checkQsos(const ReadLog& log, const judge::ContestDefinition& contest, Findings& f)
{
    for (const LogQso& q : log.qsos) {
        const std::optional<judge::Minute> minute = judge::minuteOf(q.time);
        if (minute && ((contest.start && *minute < *contest.start) || (contest.end && *minute >= *contest.end)))
            f.add(Level::Warning, q.line, "outside the contest period: this QSO does not count", "period");
        if (!judge::inContest(contest, q.band, q.mode))
            f.add(Level::Warning, q.line,
                  "band " + controlsEscaped(q.band) + " " + controlsEscaped(q.mode) + " is not in " + contest.name +
                      ": this QSO does not count",
                  "band");
        const std::string sent = missingParts(q.exchSent, contest), got = missingParts(q.exchReceived, contest);
        if (!sent.empty())
            f.add(Level::Error, q.line, "the sent exchange lacks " + sent, "exchange");
        if (!got.empty())
            f.add(Level::Error, q.line, "the received exchange lacks " + got, "exchange");
    }
}

void checkCategories(const ReadLog& log, const judge::ContestDefinition& contest, LogCheck& check, Findings& f)
{
    std::vector<std::string> notes;
    check.category = judge::categoryLabel(log.header, &notes);
    for (const std::string& note : notes)
        f.add(Level::Warning, 0, note, "category");
    if (contest.categories.empty() || judge::isCheckLog(log.header))
        return;
    const std::vector<std::string> has = [&] {
        std::vector<std::string> w = wordsOf(check.category);
        std::sort(w.begin(), w.end());
        return w;
    }();
    for (const std::string& c : contest.categories) {
        std::vector<std::string> wanted = wordsOf(c);
        std::sort(wanted.begin(), wanted.end());
        if (std::includes(has.begin(), has.end(), wanted.begin(), wanted.end()))
            return;
    }
    f.add(Level::Warning, 0, "the category " + check.category + " is none of " + contest.name + "'s: it will be ranked as UNSPECIFIED",
          "category");
}

} // namespace

CheckedLog checkLog(std::string_view bytes, const judge::ContestDefinition& contest)
{
    CheckedLog out;
    LogCheck& check = out.check;
    if (holdsNul(bytes)) {
        Findings f(std::string_view{});
        f.add(Level::Error, 0,
              looksLikeUtf16(bytes) ? "UTF-16 text: save the log as plain text (ASCII or UTF-8) and send it again"
                                    : "a binary file (it holds NUL bytes), not a log",
              "file");
        check.lines = f.finish();
        return out;
    }
    Findings f(bytes);
    LogFileResult file = readLogText(bytes, {}, ReadLimits{kReaderProblemsKept});
    if (!file.ok) {
        f.add(Level::Error, 0, file.error, "file");
        check.lines = f.finish();
        return out;
    }
    out.log = std::move(file.log);
    const ReadLog& log = out.log;
    check.format = formatOf(log);
    check.call = ascii::upper(log.ownCall);
    check.categories = log.categories;
    check.qsos = log.qsos.size();
    checkCall(log, f);
    checkOneStation(bytes, log, f);
    for (const LogProblem& p : log.problems)
        if (!f.stationOn(p.line))
            f.add(p.recordSkipped ? Level::Error : Level::Warning, p.line,
              p.recordSkipped ? "this QSO cannot be read: " + p.message : p.message, "reader");
    f.addUnlisted(log.recordsLeftOut > 0 ? Level::Error : Level::Warning, "reader", log.problemsLeftOut);
    for (const std::string& w : log.warnings)
        f.add(Level::Warning, 0, w, "log");
    if (log.qsos.empty())
        f.add(Level::Error, 0, "no QSO could be read", "qsos");
    checkQsos(log, contest, f);
    checkCategories(log, contest, check, f);
    if (log.format == LogFormat::Adif && !log.ownCall.empty()) {
        CabrilloText converted = cabrilloFromAdif(log, contest);
        check.cabrillo = std::move(converted.text);
        check.conversion = std::move(converted.conversion);
    }
    check.lines = f.finish();
    check.accepted = std::none_of(check.lines.begin(), check.lines.end(),
                                  [](const CheckLine& l) { return l.level == Level::Error; });
    return out;
}

} // namespace korvane::robot
