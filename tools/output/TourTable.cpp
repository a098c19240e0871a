#include "tools/output/TourTable.h"

#include "tools/logs/LogReplay.h"
#include "tools/output/ScoreOutput.h"
#include "tools/logs/TextUtil.h"

#include <algorithm>
#include <set>

namespace korvane {
namespace {

constexpr long kSlotsPerDay = kToursPerDay;
constexpr std::size_t kEmptyRunFolded = 3; // the fewest empty tours in a row the text puts on one line

// Whole days from the host's epoch, 30 December 1899, and back: the day number of the
// host's own date values, so that the calendar is worked out in one place.
long dayNumber(const CivilDateTime& date)
{
    return static_cast<long>(makeOleDate(date.year, date.month, date.day, 0, 0, 0).value);
}

CivilDateTime dateOfDay(long day)
{
    COleDateTime midnight;
    midnight.value = static_cast<double>(day);
    midnight.status = kOleValid;
    CivilDateTime date;
    breakDown(midnight, date);
    return date;
}

long floorDiv(long a, long b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

std::string padLeft(const std::string& text, std::size_t width)
{
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string padRight(const std::string& text, std::size_t width)
{
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

} // namespace

std::optional<long> tourSlot(const COleDateTime& time)
{
    CivilDateTime c;
    if (!breakDown(time, c))
        return std::nullopt;
    return dayNumber(c) * kSlotsPerDay + tourOf(c);
}

int tourNumber(long slot)
{
    return static_cast<int>(slot - floorDiv(slot, kSlotsPerDay) * kSlotsPerDay);
}

COleDateTime tourStart(long slot)
{
    const CivilDateTime date = dateOfDay(floorDiv(slot, kSlotsPerDay));
    const int minute = tourNumber(slot) * kMinutesPerTour;
    return makeOleDate(date.year, date.month, date.day, minute / 60, minute % 60, 0);
}

int TourTable::qsosIn(const TourRow& row, std::size_t band, std::size_t mode) const
{
    return row.qsos[band * modes.size() + mode];
}

int TourTable::bandTotal(const TourRow& row, std::size_t band) const
{
    int n = 0;
    for (std::size_t m = 0; m < modes.size(); ++m)
        n += qsosIn(row, band, m);
    return n;
}

int TourTable::modeTotal(const TourRow& row, std::size_t mode) const
{
    int n = 0;
    for (std::size_t b = 0; b < bands.size(); ++b)
        n += qsosIn(row, b, mode);
    return n;
}

TourRow TourTable::totals() const
{
    TourRow sum;
    sum.qsos.assign(bands.size() * modes.size(), 0);
    for (const TourRow& row : rows) {
        for (std::size_t i = 0; i < sum.qsos.size(); ++i)
            sum.qsos[i] += row.qsos[i];
        sum.total += row.total;
        sum.newCalls += row.newCalls;
        sum.refused += row.refused;
        sum.score = row.score;
    }
    return sum;
}

bool TourTable::oneDay() const
{
    return rows.empty() || floorDiv(rows.front().slot, kSlotsPerDay) ==
                               floorDiv(rows.back().slot, kSlotsPerDay);
}

void TourTally::count(const LogQso& qso, int verdict)
{
    const std::optional<long> slot = tourSlot(qso.time);
    if (!slot)
        return;
    Counts& c = tours_[*slot];
    ++c.qsos[{qso.band, qso.mode}];
    ++c.total;
    c.newCalls += verdict == kNewCall;
    c.refused += verdict == kRefused;
    if (std::find(bandsSeen_.begin(), bandsSeen_.end(), qso.band) == bandsSeen_.end())
        bandsSeen_.push_back(qso.band);
}

void TourTally::setScore(long slot, int score)
{
    const auto it = tours_.find(slot);
    if (it != tours_.end())
        it->second.score = score;
}

TourTable TourTally::finish(const std::vector<std::string>& bandOrder) const
{
    TourTable t;
    for (const std::string& b : bandOrder)
        if (std::find(bandsSeen_.begin(), bandsSeen_.end(), b) != bandsSeen_.end() &&
            std::find(t.bands.begin(), t.bands.end(), b) == t.bands.end())
            t.bands.push_back(b);
    for (const std::string& b : bandsSeen_)
        if (std::find(t.bands.begin(), t.bands.end(), b) == t.bands.end())
            t.bands.push_back(b);
    std::set<std::string> modes;
    for (const auto& [slot, c] : tours_)
        for (const auto& [key, n] : c.qsos)
            modes.insert(key.second);
    t.modes.assign(modes.begin(), modes.end());

    int score = 0;
    std::optional<long> previous;
    const auto emptyRow = [&](long slot) {
        TourRow row;
        row.slot = slot;
        row.qsos.assign(t.bands.size() * t.modes.size(), 0);
        row.score = score;
        return row;
    };
    for (const auto& [slot, c] : tours_) {
        if (previous && slot - *previous - 1 <= kLongestGapFilled)
            for (long s = *previous + 1; s < slot; ++s)
                t.rows.push_back(emptyRow(s));
        if (c.score)
            score = *c.score;
        TourRow row = emptyRow(slot);
        for (const auto& [key, n] : c.qsos) {
            const auto b = std::find(t.bands.begin(), t.bands.end(), key.first) - t.bands.begin();
            const auto m = std::find(t.modes.begin(), t.modes.end(), key.second) - t.modes.begin();
            row.qsos[b * t.modes.size() + m] += n;
        }
        row.total = c.total;
        row.newCalls = c.newCalls;
        row.refused = c.refused;
        t.rows.push_back(std::move(row));
        previous = slot;
    }
    return t;
}

std::string bandLabel(const std::string& band)
{
    const bool metres = !band.empty() && band.find_first_not_of("0123456789.") == std::string::npos;
    return metres ? band + " m" : band;
}

namespace {

// A tour's cells, or the totals': tour, start, the bands, the modes, QSOs, new, refused, score.
std::vector<std::string> tourCells(const TourTable& t, const TourRow& row, bool total)
{
    const char* timePattern = t.oneDay() ? "%H:%M" : "%Y-%m-%d %H:%M";
    std::vector<std::string> c;
    c.push_back(total ? "Total" : std::to_string(tourNumber(row.slot)));
    c.push_back(total ? "" : formatOleDate(tourStart(row.slot), timePattern));
    for (std::size_t b = 0; b < t.bands.size(); ++b)
        c.push_back(std::to_string(t.bandTotal(row, b)));
    for (std::size_t m = 0; m < t.modes.size(); ++m)
        c.push_back(std::to_string(t.modeTotal(row, m)));
    for (int n : {row.total, row.newCalls, row.refused, row.score})
        c.push_back(std::to_string(n));
    return c;
}

// The table as text cells, each column as wide as its widest cell.
struct TourGrid {
    std::vector<std::string> head;
    std::vector<std::vector<std::string>> body; // a row per tour, then the totals
    std::vector<std::size_t> width;

    // The first two columns to the left, the counts to the right.
    std::string render(const std::vector<std::string>& c) const
    {
        std::string line = padRight(c[0], width[0]) + "  " + padRight(c[1], width[1]);
        for (std::size_t i = 2; i < c.size(); ++i)
            line += "  " + padLeft(c[i], width[i]);
        line.erase(line.find_last_not_of(' ') + 1);
        return line + "\n";
    }
};

TourGrid tourGrid(const TourTable& t)
{
    TourGrid g;
    g.head = {"Tour", "UTC"};
    for (const std::string& b : t.bands)
        g.head.push_back(bandLabel(b));
    for (const std::string& m : t.modes)
        g.head.push_back(m);
    for (const char* h : {"QSOs", "New", "Refused", "Score"})
        g.head.push_back(h);
    for (const TourRow& row : t.rows)
        g.body.push_back(tourCells(t, row, false));
    g.body.push_back(tourCells(t, t.totals(), true));
    g.width.resize(g.head.size());
    for (std::size_t i = 0; i < g.head.size(); ++i) {
        g.width[i] = g.head[i].size();
        for (const auto& line : g.body)
            g.width[i] = std::max(g.width[i], line[i].size());
    }
    return g;
}

// The tours' lines. A run of empty tours (a break, a night) takes one line in place of many.
std::string tourLines(const TourTable& t, const TourGrid& g)
{
    std::string out;
    for (std::size_t i = 0; i + 1 < g.body.size();) {
        std::size_t end = i;
        while (end + 1 < g.body.size() && t.rows[end].total == 0)
            ++end;
        if (end - i >= kEmptyRunFolded) {
            // Tour numbers start again at midnight: "47-1+1" ends on the next day.
            const long days = t.rows[end - 1].slot / kSlotsPerDay - t.rows[i].slot / kSlotsPerDay;
            const std::string last = g.body[end - 1][0] + (days ? "+" + std::to_string(days) : "");
            out += padRight(g.body[i][0] + "-" + last, g.width[0]) + "  " +
                   padRight(g.body[i][1], g.width[1]) + "  no QSOs in " + std::to_string(end - i) +
                   " tours\n";
            i = end;
        } else {
            out += g.render(g.body[i++]);
        }
    }
    return out;
}

} // namespace

std::string tourText(const TourTable& t, const std::string& ownCall)
{
    const TourGrid g = tourGrid(t);
    std::string out = "Tours of " + ownCall;
    if (!t.rows.empty() && t.oneDay())
        out += ", " + formatOleDate(tourStart(t.rows.front().slot), "%Y-%m-%d");
    out += " (half hours, UTC; QSOs by band, by mode, in all)\n";
    out += g.render(g.head);
    out += tourLines(t, g);
    std::size_t rule = 0;
    for (std::size_t w : g.width)
        rule += w + 2;
    out += std::string(rule - 2, '-') + "\n";
    out += g.render(g.body.back());
    return out;
}

std::string tourCsv(const TourTable& t, const QsoRates& rates)
{
    // The first column says what a row is, as in score's table: a tour here, the rates'
    // rows after the tours.
    std::vector<std::string> head = {"row", "tour", "start", "end", "minutes", "qsos",
                                     "qsos_per_hour"};
    for (const std::string& b : t.bands)
        head.push_back("band " + b);
    for (const std::string& m : t.modes)
        head.push_back("mode " + m);
    for (const std::string& b : t.bands)
        for (const std::string& m : t.modes) {
            head.push_back(b + ' ');
            head.back() += m;
        }
    for (const char* h : {"new_calls", "refused", "score"})
        head.push_back(h);
    std::string out = csvRow(head);
    for (const TourRow& row : t.rows) {
        std::vector<std::string> c = {"tour", std::to_string(tourNumber(row.slot)),
                                      isoTime(tourStart(row.slot)), isoTime(tourStart(row.slot + 1)),
                                      std::to_string(kMinutesPerTour), std::to_string(row.total),
                                      std::to_string(row.total * 60 / kMinutesPerTour)};
        for (std::size_t b = 0; b < t.bands.size(); ++b)
            c.push_back(std::to_string(t.bandTotal(row, b)));
        for (std::size_t m = 0; m < t.modes.size(); ++m)
            c.push_back(std::to_string(t.modeTotal(row, m)));
        for (std::size_t b = 0; b < t.bands.size(); ++b)
            for (std::size_t m = 0; m < t.modes.size(); ++m)
                c.push_back(std::to_string(t.qsosIn(row, b, m)));
        for (int n : {row.newCalls, row.refused, row.score})
            c.push_back(std::to_string(n));
        out += csvRow(c);
    }
    return out + rateCsvRows(rates, head.size());
}

std::string tourJson(const TourTable& t, const JsonLogHead& head, const QsoRates& rates)
{
    JsonWriter json;
    json.beginObject();
    writeLogHead(json, head);
    json.key("bands").beginArray(true);
    for (const std::string& b : t.bands)
        json.value(b);
    json.endArray();
    json.key("modes").beginArray(true);
    for (const std::string& m : t.modes)
        json.value(m);
    json.endArray();
    const auto counts = [&](const TourRow& row) {
        json.key("qsos").value(row.total);
        json.key("by_band").beginObject(true);
        for (std::size_t b = 0; b < t.bands.size(); ++b)
            json.key(t.bands[b]).value(t.bandTotal(row, b));
        json.endObject();
        json.key("by_mode").beginObject(true);
        for (std::size_t m = 0; m < t.modes.size(); ++m)
            json.key(t.modes[m]).value(t.modeTotal(row, m));
        json.endObject();
        json.key("by_band_mode").beginObject(true);
        for (std::size_t b = 0; b < t.bands.size(); ++b) {
            json.key(t.bands[b]).beginObject(true);
            for (std::size_t m = 0; m < t.modes.size(); ++m)
                json.key(t.modes[m]).value(t.qsosIn(row, b, m));
            json.endObject();
        }
        json.endObject();
        json.key("new_calls").value(row.newCalls).key("refused").value(row.refused);
        json.key("score").value(row.score);
    };
    json.key("tours").beginArray();
    for (const TourRow& row : t.rows) {
        json.beginObject();
        json.key("tour").value(tourNumber(row.slot));
        json.key("start").value(isoTime(tourStart(row.slot)));
        counts(row);
        json.endObject();
    }
    json.endArray();
    json.key("total").beginObject();
    counts(t.totals());
    json.endObject();
    writeRatesJson(json, rates);
    json.endObject();
    return json.str();
}

} // namespace korvane
