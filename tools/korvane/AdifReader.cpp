#include "tools/korvane/AdifReader.h"

#include "tools/korvane/Bands.h"
#include "tools/korvane/QsoFields.h"
#include "tools/korvane/TextUtil.h"

#include <utility>
#include <vector>

namespace korvane {
namespace {

// A tag longer than this is no tag: the reader would otherwise swallow the file.
constexpr std::size_t kMaxTagLength = 128;
constexpr unsigned long long kMaxFieldLength = 1ull << 30;

struct Field {
    std::string name; // lower case
    std::string value;
};

class Record {
public:
    void add(std::string name, std::string value)
    {
        if (find(name) == nullptr)
            fields_.push_back({std::move(name), std::move(value)});
    }
    const std::string* find(const std::string& name) const
    {
        for (const Field& f : fields_)
            if (f.name == name)
                return &f.value;
        return nullptr;
    }
    std::string get(const std::string& name) const
    {
        const std::string* v = find(name);
        return v ? *v : std::string();
    }
    bool empty() const { return fields_.empty(); }
    void clear() { fields_.clear(); }

private:
    std::vector<Field> fields_;
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

std::string exchange(const Record& r, const char* stringField, const char* numberField)
{
    const std::string* s = r.find(stringField);
    return trim(s ? *s : r.get(numberField));
}

// The QSO, or why the record cannot be one.
std::string toQso(const Record& r, LogQso& q)
{
    q.call = toUpper(trim(r.get("call")));
    if (std::string why = callsignProblem(q.call); !why.empty())
        return why;

    const auto time = parseCompactDateTime(trim(r.get("qso_date")), trim(r.get("time_on")));
    if (!time)
        return "unreadable date or time: QSO_DATE " + shown(r.get("qso_date")) + ", TIME_ON " +
               shown(r.get("time_on"));
    q.time = *time;

    const std::string* band = r.find("band");
    const std::string* freq = r.find("freq");
    std::optional<unsigned> hz;
    if (freq && !(hz = megahertzToHertz(*freq)))
        return "unreadable FREQ " + shown(*freq);
    if (band) {
        const auto b = bandFromAdif(*band);
        if (!b)
            return "unknown band " + shown(*band);
        q.band = *b;
    } else if (hz) {
        const auto b = bandFromKHz(*hz / 1000);
        if (!b)
            return "FREQ " + shown(*freq) + " lies in no band";
        q.band = *b;
    } else {
        return "neither BAND nor FREQ";
    }
    // Without FREQ the band's lower edge stands in, so that a Cabrillo line still names it.
    q.freqHz = hz ? *hz : static_cast<unsigned>(bandLowerEdgeKHz(q.band) * 1000);

    q.mode = modeFromAdif(r.get("mode"), r.get("submode"));
    if (q.mode.empty())
        return "no MODE";
    q.rstSent = trim(r.get("rst_sent"));
    q.rstReceived = trim(r.get("rst_rcvd"));
    q.exchSent = exchange(r, "stx_string", "stx");
    q.exchReceived = exchange(r, "srx_string", "srx");
    for (const std::string* text : {&q.mode, &q.rstSent, &q.rstReceived, &q.exchSent, &q.exchReceived})
        if (text->size() > kMaxExchangeLength)
            return "a mode, report or exchange of " + std::to_string(text->size()) +
                   " bytes, longer than " + std::to_string(kMaxExchangeLength);
    return std::string();
}

class AdifScanner {
public:
    explicit AdifScanner(std::string_view text) : text_(text), lines_(text) {}

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
                return std::move(log_);
        }
        if (!record_.empty())
            skip(recordLine_, "the last record has no <EOR> (is the file cut short?)");
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
        const std::string name = toLower(trim(tag.substr(0, colon)));
        pos_ = gt + 1;
        if (colon == std::string::npos)
            return endMark(name);

        const std::string rest = tag.substr(colon + 1);
        const std::string length = rest.substr(0, rest.find(':'));
        if (!allDigits(length) || length.size() > 10 || std::stoull(length) > kMaxFieldLength)
            return damaged("field <" + name + "> with length " + shown(length));
        const std::size_t n = static_cast<std::size_t>(std::stoull(length));
        if (n > text_.size() - pos_) {
            skip(recordLine_, "field <" + name + "> declares " + std::to_string(n) +
                                  " bytes, but the file ends after " +
                                  std::to_string(text_.size() - pos_));
            record_.clear();
            return false;
        }
        record_.add(name, std::string(text_.substr(pos_, n)));
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

    void finishRecord()
    {
        LogQso q;
        q.line = recordLine_;
        const std::string why = toQso(record_, q);
        if (!why.empty()) {
            skip(recordLine_, why);
            return;
        }
        if (log_.ownCall.empty()) {
            std::string station = trim(record_.get("station_callsign"));
            if (station.empty())
                station = trim(record_.get("operator"));
            if (callsignProblem(station).empty())
                log_.ownCall = toUpper(station);
        }
        log_.qsos.push_back(std::move(q));
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

    void skip(std::size_t line, const std::string& why) { log_.problems.push_back({line, why, true}); }

    std::string_view text_;
    LineCounter lines_;
    std::size_t pos_ = 0;
    std::size_t recordLine_ = 1;
    bool headerDone_ = false;
    std::size_t recordsEnded_ = 0;
    Record record_;
    ReadLog log_;
};

} // namespace

ReadLog readAdif(std::string_view text) { return AdifScanner(text).run(); }

} // namespace korvane
