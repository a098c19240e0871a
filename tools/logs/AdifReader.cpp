#include "tools/logs/AdifReader.h"

#include "contract/AsciiText.h"
#include "tools/logs/Bands.h"
#include "tools/logs/QsoFields.h"
#include "tools/logs/TextUtil.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

namespace korvane {
namespace {

// A tag longer than this is no tag: the reader would otherwise swallow the file.
constexpr std::size_t kMaxTagLength = 128;
constexpr unsigned long long kMaxFieldLength = 1ull << 30;
// A COMMENT token longer than this is a word of a remark, not an exchange.
constexpr std::size_t kMaxCommentToken = 6;
// One received exchange on this share of the QSOs, or more, is a field's constant.
constexpr std::size_t kSameExchangeQuarters = 3;
// Fewer QSOs than this prove nothing by repeating an exchange.
constexpr std::size_t kSameExchangeMinQsos = 10;

// A record's fields by lower-case name, the first of a name kept: a hash lookup, since
// a hostile record may hold any number of fields.
class Record {
public:
    void add(std::string name, std::string_view value) { fields_.try_emplace(std::move(name), value); }
    const std::string* find(const std::string& name) const
    {
        const auto it = fields_.find(name);
        return it == fields_.end() ? nullptr : &it->second;
    }
    std::string get(const std::string& name) const
    {
        const std::string* v = find(name);
        return v ? *v : std::string();
    }
    bool empty() const { return fields_.empty(); }
    void clear() { fields_.clear(); }

private:
    std::unordered_map<std::string, std::string> fields_;
};

// Counts lines as the scanner moves forward, never backward.
class LineCounter {
public:
    explicit LineCounter(std::string_view text) : text_(text) {}
    std::size_t lineAt(std::size_t pos)
    {
        for (; at_ < pos && at_ < text_.size(); ++at_)
            if (text_[at_] == '\n')
                ++line_;
        return line_;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0, line_ = 1;
};

// The field that holds for the own station what a received field holds for the other.
std::string ownField(const std::string& received)
{
    if (received == "srx" || received == "srx_string")
        return "stx";
    if (received == "cqz")
        return "my_cq_zone";
    if (received == "ituz")
        return "my_itu_zone";
    return "my_" + received;
}

// The automatic order of the received exchange (see AdifReader.h); each rule is a lead
// field, which must give text for the rule to apply, and a field that follows it.
struct ExchangeRule {
    const char* lead;
    const char* follower; // may be nullptr
};
const ExchangeRule kExchangeRules[] = {
    {"srx_string", nullptr}, {"srx", nullptr},          {"app_n1mm_exchange1", "arrl_sect"},
    {"class", "arrl_sect"},  {"arrl_sect", nullptr},    {"state", nullptr},
    {"cqz", nullptr},        {"ituz", nullptr},         {"gridsquare", nullptr},
};

// "014" or "013, 021" (also "040 ,024", "7/9"): the serials a COMMENT holds, or none.
std::vector<std::string> commentSerials(const std::string& comment)
{
    std::vector<std::string> serials;
    std::string current;
    for (const char c : comment + " ") {
        if (ascii::isDigit(c)) {
            current += c;
        } else if (c == ' ' || c == ',' || c == ';' || c == '/' || c == '\t') {
            if (!current.empty())
                serials.push_back(current);
            current.clear();
        } else {
            return {};
        }
    }
    for (const std::string& serial : serials)
        if (serial.size() > 6)
            return {};
    return serials.size() <= 2 ? serials : std::vector<std::string>();
}

std::string joined(const std::string& a, const std::string& b)
{
    return a.empty() ? b : b.empty() ? a : a + " " + b;
}

struct Exchanges {
    std::string sent, received;
    std::string source; // the fields the received one came from, as "CQZ" or "CLASS+ARRL_SECT"
};

// " 54 ", "2A": a single short word of letters or digits.
bool commentToken(const std::string& comment)
{
    const std::string token = trim(comment);
    if (token.empty() || token.size() > kMaxCommentToken)
        return false;
    return std::all_of(token.begin(), token.end(),
                       [](char c) { return ascii::isDigit(c) || ascii::isUpper(c) || ascii::isLower(c); });
}

// The exchange from a COMMENT that holds one token; a serial there answers STX.
Exchanges fromCommentToken(const Record& r)
{
    Exchanges e;
    e.received = trim(r.get("comment"));
    e.source = "COMMENT";
    if (ascii::allDigits(e.received))
        e.sent = trim(r.get("stx"));
    return e;
}

// The received exchange from the named fields, and the own side when the record holds
// every field that matches them.
Exchanges fromFields(const Record& r, const std::vector<std::string>& names)
{
    Exchanges e;
    std::string own;
    bool ownWhole = true;
    std::vector<std::string> values;
    for (const std::string& name : names) {
        std::string value = trim(r.get(name));
        // N1MM's exchange may already be the section that ARRL_SECT repeats.
        if (value.empty() || std::find(values.begin(), values.end(), value) != values.end())
            continue;
        e.received = joined(e.received, value);
        e.source += (e.source.empty() ? "" : "+") + ascii::upper(name);
        values.push_back(std::move(value));
        const std::string mine = trim(r.get(ownField(name)));
        ownWhole = ownWhole && !mine.empty();
        own = joined(own, mine);
    }
    const bool serial = !names.empty() && (names[0] == "srx" || names[0] == "srx_string");
    if (e.received.empty() || serial)
        e.sent = trim(r.get("stx"));
    else if (ownWhole)
        e.sent = own;
    return e;
}

// commentFirst: most records of the log hold one token in COMMENT, which then comes
// before the zones and the grid that loggers fill in from their country files.
Exchanges exchanges(const Record& r, const std::vector<std::string>& chosen, bool commentFirst)
{
    Exchanges e;
    if (!chosen.empty()) {
        e = fromFields(r, chosen);
    } else {
        bool found = false;
        for (const ExchangeRule& rule : kExchangeRules) {
            if (commentFirst && std::string(rule.lead) == "cqz" && commentToken(r.get("comment"))) {
                e = fromCommentToken(r);
                found = true;
                break;
            }
            if (trim(r.get(rule.lead)).empty())
                continue;
            std::vector<std::string> names{rule.lead};
            if (rule.follower)
                names.emplace_back(rule.follower);
            e = fromFields(r, names);
            found = true;
            break;
        }
        const std::vector<std::string> serials = found ? std::vector<std::string>()
                                                       : commentSerials(r.get("comment"));
        if (!serials.empty()) {
            e.received = serials.back();
            e.source = "COMMENT";
            e.sent = serials.size() == 2 ? serials.front() : trim(r.get("stx"));
        } else if (!found) {
            e.sent = trim(r.get("stx"));
        }
    }
    // What the logger says was sent beats any guess.
    if (const std::string sent = trim(r.get("stx_string")); !sent.empty())
        e.sent = sent;
    return e;
}

std::string shownMegahertz(unsigned long long hz)
{
    std::string fraction = std::to_string(hz % 1000000 + 1000000).substr(1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    return std::to_string(hz / 1000000) + (fraction.empty() ? "" : "." + fraction) + " MHz";
}

// The QSO, or why the record cannot be one; remark gets what the reader changed.
std::string toQso(const Record& r, const std::vector<std::string>& exchangeFields,
                  bool commentFirst, LogQso& q, std::string& remark, std::string& source)
{
    q.call = ascii::upper(trim(r.get("call")));
    if (std::string why = callsignProblem(q.call); !why.empty())
        return why;

    const auto time = parseCompactDateTime(trim(r.get("qso_date")), trim(r.get("time_on")));
    if (!time)
        return "unreadable date or time: QSO_DATE " + shown(r.get("qso_date")) + ", TIME_ON " +
               shown(r.get("time_on"));
    q.time = *time;

    const std::string* band = r.find("band");
    const std::string* freq = r.find("freq");
    std::optional<unsigned long long> hz;
    if (freq && !(hz = megahertzToHertz(*freq)))
        return "unreadable FREQ " + shown(*freq);
    if (band) {
        const auto b = bandFromAdif(*band);
        if (!b)
            return "unknown band " + shown(*band);
        q.band = *b;
    } else if (hz) {
        const auto b = bandFromKHz(static_cast<unsigned long>(*hz / 1000));
        if (!b)
            return "FREQ " + shown(*freq) + " lies in no band";
        q.band = *b;
    } else {
        return "neither BAND nor FREQ";
    }
    // Without FREQ the band's lower edge stands in, so that a Cabrillo line still names it.
    const unsigned long long passed = hz ? *hz : bandLowerEdgeKHz(q.band) * 1000ull;
    if (passed > 0xffffffffull) {
        q.freqHz = 0;
        q.kHzPastHost = static_cast<std::uint32_t>(passed / 1000);
        remark = (hz ? "FREQ " + shownMegahertz(passed)
                     : "band " + q.band + " without FREQ: its lower edge " + shownMegahertz(passed)) +
                 " is past what the host's frequency argument holds (4294.967295 MHz); "
                 "the band is kept, the frequency passed as 0";
    } else {
        q.freqHz = static_cast<unsigned>(passed);
    }

    q.mode = modeFromAdif(r.get("mode"), r.get("submode"));
    if (q.mode.empty())
        return "no MODE";
    q.rstSent = trim(r.get("rst_sent"));
    q.rstReceived = trim(r.get("rst_rcvd"));
    Exchanges e = exchanges(r, exchangeFields, commentFirst);
    q.exchSent = std::move(e.sent);
    q.exchReceived = std::move(e.received);
    source = std::move(e.source);
    for (const std::string* text : {&q.mode, &q.rstSent, &q.rstReceived, &q.exchSent, &q.exchReceived})
        if (text->size() > kMaxExchangeLength)
            return "a mode, report or exchange of " + std::to_string(text->size()) +
                   " bytes, longer than " + std::to_string(kMaxExchangeLength);
    return std::string();
}

std::vector<std::string> fieldNames(const std::string& joinedNames)
{
    std::vector<std::string> names;
    std::size_t from = 0;
    while (from <= joinedNames.size() && !joinedNames.empty()) {
        const std::size_t plus = joinedNames.find('+', from);
        names.push_back(ascii::lower(trim(joinedNames.substr(from, plus - from))));
        if (plus == std::string::npos)
            break;
        from = plus + 1;
    }
    return names;
}

class AdifScanner {
public:
    AdifScanner(std::string_view text, const AdifOptions& options, const ReadLimits& limits)
        : text_(text), lines_(text), exchangeFields_(fieldNames(options.exchangeField))
    {
        log_.limits = limits;
    }

    ReadLog run()
    {
        log_.format = LogFormat::Adif;
        while (pos_ < text_.size()) {
            const std::size_t lt = text_.find('<', pos_);
            if (lt == std::string_view::npos)
                break;
            if (record_.empty())
                recordLine_ = lines_.lineAt(lt);
            if (!tagAt(lt))
                break;
        }
        if (!record_.empty())
            skip(recordLine_, "the last record has no <EOR> (is the file cut short?)");
        convertRecords();
        settleOwnCall();
        warnSameExchange();
        return std::move(log_);
    }

private:
    // One data specifier at lt; false when the scan cannot go on.
    bool tagAt(std::size_t lt)
    {
        const std::size_t gt = text_.find('>', lt);
        const std::size_t nextLt = text_.find('<', lt + 1);
        if (gt == std::string_view::npos || gt - lt > kMaxTagLength || nextLt < gt) {
            pos_ = lt + 1; // header text may hold a stray '<'
            if (inHeader())
                return true;
            if (gt == std::string_view::npos)
                return damaged("the file ends inside a tag (is it cut short?)");
            return damaged("a '<' that opens no tag");
        }
        const std::string tag(text_.substr(lt + 1, gt - lt - 1));
        const std::size_t colon = tag.find(':');
        const std::string name = ascii::lower(trim(tag.substr(0, colon)));
        pos_ = gt + 1;
        if (colon == std::string::npos)
            return endMark(name);

        const std::string rest = tag.substr(colon + 1);
        const std::string length = rest.substr(0, rest.find(':'));
        if (!ascii::allDigits(length) || length.size() > 10 || std::stoull(length) > kMaxFieldLength)
            return damaged("field <" + name + "> with length " + shown(length));
        const std::size_t n = static_cast<std::size_t>(std::stoull(length));
        if (n > text_.size() - pos_) {
            skip(recordLine_, "field <" + name + "> declares " + std::to_string(n) +
                                  " bytes, but the file ends after " +
                                  std::to_string(text_.size() - pos_));
            record_.clear();
            return false;
        }
        record_.add(name, text_.substr(pos_, n));
        pos_ += n;
        return true;
    }

    bool endMark(const std::string& name)
    {
        if (name == "eoh") {
            record_.clear(); // the header's fields are no QSO
            headerDone_ = true;
        } else if (name == "eor") {
            ++recordsEnded_;
            if (!record_.empty())
                finishRecord();
            record_.clear();
        } else if (!inHeader()) {
            return damaged("tag <" + name + "> without a length");
        }
        return true;
    }

    // Records wait for the end of the file: where the exchange is depends on the log as
    // a whole.
    void finishRecord()
    {
        commentTokens_ += commentToken(record_.get("comment"));
        pending_.push_back({recordLine_, std::move(record_)});
        record_ = Record();
    }

    void convertRecords()
    {
        const bool commentFirst = commentTokens_ * 2 > pending_.size();
        for (const auto& [line, record] : pending_) {
            LogQso q;
            q.line = line;
            std::string remark, source;
            const std::string why = toQso(record, exchangeFields_, commentFirst, q, remark, source);
            if (!why.empty()) {
                skip(line, why);
                continue;
            }
            if (!remark.empty())
                log_.addProblem(line, remark, false);
            noteOwnCall(record, q.line);
            if (!q.exchReceived.empty())
                ++sources_[q.exchReceived][source];
            log_.qsos.push_back(std::move(q));
        }
        pending_.clear();
        // Damage found while scanning and records refused on conversion, in file order.
        std::stable_sort(log_.problems.begin(), log_.problems.end(),
                         [](const LogProblem& a, const LogProblem& b) { return a.line < b.line; });
    }

    // An exchange that hardly ever changes is a field the logger fills in itself (the
    // zone of the country), not what the operators exchanged.
    void warnSameExchange()
    {
        const std::size_t total = log_.qsos.size();
        if (!exchangeFields_.empty() || total < kSameExchangeMinQsos)
            return;
        std::size_t most = 0;
        std::string value, source; // the commonest exchange, and the field that gave it most
        for (const auto& [received, bySource] : sources_) {
            std::size_t count = 0, fieldCount = 0;
            std::string field;
            for (const auto& [name, n] : bySource) {
                count += n;
                if (n > fieldCount)
                    fieldCount = n, field = name;
            }
            if (count > most)
                most = count, value = received, source = field;
        }
        if (most * 4 < total * kSameExchangeQuarters)
            return;
        log_.warnings.push_back("the received exchange is " + shown(value) + " on " +
                                std::to_string(most) + " of " + std::to_string(total) +
                                " QSOs, taken from " + source +
                                ": if the operators exchanged something else, name the field "
                                "that holds it with --exchange-field");
    }

    void noteOwnCall(const Record& record, std::size_t line)
    {
        const std::string station = ascii::upper(trim(record.get("station_callsign")));
        if (station_.empty() && callsignProblem(station).empty())
            station_ = station;
        const std::string op = ascii::upper(trim(record.get("operator")));
        if (!callsignProblem(op).empty())
            return;
        if (operator_.empty()) {
            operator_ = op;
        } else if (op != operator_ && otherOperator_.empty()) {
            otherOperator_ = op;
            otherOperatorLine_ = line;
        }
    }

    // A club's log names each QSO's operator: none of them is the station.
    void settleOwnCall()
    {
        if (!station_.empty()) {
            log_.ownCall = station_;
        } else if (otherOperator_.empty()) {
            log_.ownCall = operator_;
        } else {
            log_.addProblem(otherOperatorLine_,
                            "no STATION_CALLSIGN, and OPERATOR changes from record to record (" + operator_ +
                                ", here " + otherOperator_ + "): the log names no own call",
                            false);
        }
    }

    // A damaged record: report it and go on after its <EOR>.
    bool damaged(const std::string& why)
    {
        skip(recordLine_, why);
        record_.clear();
        const std::size_t eor = findNoCase(text_, "<eor>", pos_);
        pos_ = eor == std::string_view::npos ? text_.size() : eor + 5;
        return true;
    }

    // Before <EOH>, and before any record, text is the header's free text.
    bool inHeader() const
    {
        return !headerDone_ && recordsEnded_ == 0 && !text_.empty() && text_.front() != '<';
    }

    void skip(std::size_t line, const std::string& why) { log_.addProblem(line, why, true); }

    std::string_view text_;
    LineCounter lines_;
    std::size_t pos_ = 0;
    std::size_t recordLine_ = 1;
    bool headerDone_ = false;
    std::size_t recordsEnded_ = 0;
    Record record_;
    std::vector<std::pair<std::size_t, Record>> pending_; // line, record
    std::size_t commentTokens_ = 0;
    std::map<std::string, std::map<std::string, std::size_t>> sources_; // exchange, field, QSOs
    std::vector<std::string> exchangeFields_;
    std::string station_, operator_, otherOperator_;
    std::size_t otherOperatorLine_ = 0;
    ReadLog log_;
};

} // namespace

std::string exchangeFieldProblem(const std::string& names)
{
    for (const std::string& name : fieldNames(names)) {
        if (name.empty())
            return "an empty field name in " + shown(names);
        for (const char c : name)
            if (!(ascii::isLower(c) || ascii::isDigit(c) || c == '_'))
                return "field name " + shown(name) +
                       " holds characters other than letters, digits and _";
    }
    return names.empty() ? "no field name" : std::string();
}

ReadLog readAdif(std::string_view text, const AdifOptions& options, const ReadLimits& limits)
{
    return AdifScanner(text, options, limits).run();
}

} // namespace korvane
