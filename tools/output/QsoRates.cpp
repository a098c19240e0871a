#include "tools/output/QsoRates.h"

#include "tools/output/ScoreOutput.h"

#include <algorithm>
#include <optional>

namespace korvane {
namespace {

constexpr long long kSecondsPerDay = 86400;

long long floorDiv(long long a, long long b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

std::optional<EpochSecond> epochSecond(const COleDateTime& time)
{
    CivilDateTime c;
    if (!breakDown(time, c))
        return std::nullopt;
    // The day number of midnight is whole, so the calendar is not redone here.
    const auto day = static_cast<long long>(makeOleDate(c.year, c.month, c.day, 0, 0, 0).value);
    return day * kSecondsPerDay + c.hour * 3600 + c.minute * 60 + c.second;
}

COleDateTime oleMinute(EpochMinute minute) { return oleTimeOf(minute * 60); }

BestRate bestWindow(const std::vector<EpochMinute>& sorted, int minutes)
{
    BestRate best;
    best.minutes = minutes;
    std::size_t end = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && sorted[i] == sorted[i - 1])
            continue; // the same window as the QSO before
        end = std::max(end, i);
        while (end < sorted.size() && sorted[end] < sorted[i] + minutes)
            ++end;
        const int n = static_cast<int>(end - i);
        if (n > best.qsos) {
            best.qsos = n;
            best.start = sorted[i];
        }
    }
    return best;
}

std::string when(EpochMinute minute, bool oneDay)
{
    return formatOleDate(oleMinute(minute), oneDay ? "%H:%M" : "%Y-%m-%d %H:%M");
}

std::string rateLine(const BestRate& r, bool oneDay)
{
    // The end's date only when the window runs past midnight.
    const EpochMinute end = r.start + r.minutes;
    const bool sameDay = floorDiv(r.start, 1440) == floorDiv(end, 1440);
    return std::to_string(r.perHour()) + "/h (" + std::to_string(r.qsos) + " QSOs " +
           when(r.start, oneDay) + "-" + when(end, oneDay || sameDay) + ")";
}

// Items joined by ", " into lines of at most width columns, each after indent.
std::string wrappedList(const std::vector<std::string>& items, std::size_t width,
                        const std::string& indent)
{
    std::string out, line = indent;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string item = items[i] + (i + 1 < items.size() ? "," : "");
        if (line.size() > indent.size() && line.size() + 1 + item.size() > width) {
            out += line + "\n";
            line = indent;
        }
        line += (line.size() > indent.size() ? " " : "") + item;
    }
    return out + line + "\n";
}

} // namespace

COleDateTime oleTimeOf(EpochSecond second)
{
    COleDateTime t;
    t.value = static_cast<double>(second) / kSecondsPerDay;
    t.status = kOleValid;
    return t;
}

QsoRates qsoRates(const std::vector<LogQso>& qsos)
{
    std::vector<EpochSecond> seconds;
    for (const LogQso& q : qsos)
        if (const auto s = epochSecond(q.time))
            seconds.push_back(*s);
    std::sort(seconds.begin(), seconds.end());
    std::vector<EpochMinute> minutes;
    minutes.reserve(seconds.size());
    for (EpochSecond s : seconds)
        minutes.push_back(floorDiv(s, 60));

    QsoRates r;
    r.best10 = bestWindow(minutes, 10);
    r.best60 = bestWindow(minutes, 60);
    for (EpochMinute m : minutes) {
        ++r.perHour[floorDiv(m, 60) * 60];
        ++r.perTenMinutes[floorDiv(m, 10) * 10];
    }
    for (std::size_t i = 1; i < seconds.size(); ++i)
        if (seconds[i] - seconds[i - 1] >= QsoRates::kOffTimeMinutes * 60)
            r.offTimes.push_back({seconds[i - 1], seconds[i]});
    return r;
}

std::string rateText(const QsoRates& r, bool oneDay)
{
    if (r.best10.qsos == 0)
        return "";
    std::string out = "Best rate, 10 minutes: " + rateLine(r.best10, oneDay) + "\n" +
                      "Best rate, 60 minutes: " + rateLine(r.best60, oneDay) + "\n";
    std::vector<std::string> hours;
    for (const auto& [start, n] : r.perHour)
        hours.push_back(when(start, oneDay) + " " + std::to_string(n));
    out += "QSOs per clock hour (UTC):\n" + wrappedList(hours, 99, "  ");
    if (r.offTimes.empty())
        return out + "Off-times (30 minutes or more without a QSO): none\n";
    out += "Off-times (30 minutes or more without a QSO): " + std::to_string(r.offTimes.size()) + "\n";
    const char* pattern = oneDay ? "%H:%M:%S" : "%Y-%m-%d %H:%M:%S";
    for (const OffTime& o : r.offTimes) {
        const long long m = o.minutes();
        out += "  " + formatOleDate(oleTimeOf(o.from), pattern) + " to " +
               formatOleDate(oleTimeOf(o.to), pattern) + "  " + std::to_string(m / 60) + " h " +
               (m % 60 < 10 ? "0" : "") + std::to_string(m % 60) + " min\n";
    }
    return out;
}

void writeRatesJson(JsonWriter& json, const QsoRates& r)
{
    const auto best = [&](const char* name, const BestRate& b) {
        json.key(name);
        if (b.qsos == 0) {
            json.null();
            return;
        }
        json.beginObject(true);
        json.key("qsos").value(b.qsos).key("qsos_per_hour").value(b.perHour());
        json.key("start").value(isoTime(oleMinute(b.start)));
        json.key("end").value(isoTime(oleMinute(b.start + b.minutes)));
        json.endObject();
    };
    json.key("rates").beginObject();
    best("best_10_minutes", r.best10);
    best("best_60_minutes", r.best60);
    json.key("per_hour").beginArray();
    for (const auto& [start, n] : r.perHour)
        json.beginObject(true).key("start").value(isoTime(oleMinute(start))).key("qsos").value(n)
            .endObject();
    json.endArray();
    json.key("off_times").beginArray();
    for (const OffTime& o : r.offTimes)
        json.beginObject(true)
            .key("start").value(isoTime(oleTimeOf(o.from)))
            .key("end").value(isoTime(oleTimeOf(o.to)))
            .key("minutes").value(o.minutes())
            .endObject();
    json.endArray();
    json.endObject();
}

std::string rateCsvRows(const QsoRates& r, std::size_t width)
{
    std::string out;
    const auto row = [&](const char* kind, const std::string& start, const std::string& end,
                         const std::string& minutes, const std::string& qsos,
                         const std::string& perHour) {
        std::vector<std::string> c = {kind, "", start, end, minutes, qsos, perHour};
        c.resize(std::max(width, c.size()));
        out += csvRow(c);
    };
    for (const BestRate* b : {&r.best10, &r.best60})
        if (b->qsos > 0)
            row("best_rate", isoTime(oleMinute(b->start)), isoTime(oleMinute(b->start + b->minutes)),
                std::to_string(b->minutes), std::to_string(b->qsos), std::to_string(b->perHour()));
    for (const auto& [start, n] : r.perHour)
        row("hour", isoTime(oleMinute(start)), isoTime(oleMinute(start + 60)), "60",
            std::to_string(n), std::to_string(n));
    for (const OffTime& o : r.offTimes)
        row("off_time", isoTime(oleTimeOf(o.from)), isoTime(oleTimeOf(o.to)),
            std::to_string(o.minutes()), "0", "");
    return out;
}

} // namespace korvane
