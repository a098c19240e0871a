#pragma once
// The pace of a log, as contest loggers and log analysers show it: the best 10- and
// 60-minute rates, the QSOs in each clock hour, the QSOs in each 10 minutes (for the
// chart) and the off-times.

#include "contract/OleDateTime.h"
#include "tools/logs/LogQso.h"
#include "tools/output/OutputFormat.h"

#include <map>
#include <string>
#include <vector>

namespace korvane {

// Whole seconds and minutes since the host's epoch; a time that cannot be broken down
// has none. Rates are counted on minutes, as loggers write them; off-times on seconds.
using EpochSecond = long long;
using EpochMinute = long long;

COleDateTime oleTimeOf(EpochSecond second);

// The best window of a length: the most QSOs logged in any run of that many minutes
// that starts at the minute of a QSO (the window holds the QSOs whose minute is at
// least its start and less than start + minutes). The earliest wins a tie.
struct BestRate {
    int minutes = 0;
    int qsos = 0;            // 0: the log holds no dated QSO
    EpochMinute start = 0;
    int perHour() const { return minutes ? qsos * 60 / minutes : 0; }
};

// A silence of 30 minutes or more between two QSOs following each other in time:
// from the first one's time to the second one's.
struct OffTime {
    EpochSecond from = 0, to = 0;
    long long minutes() const { return (to - from) / 60; }
};

struct QsoRates {
    static constexpr int kOffTimeMinutes = 30;
    BestRate best10{10}, best60{60};
    std::map<EpochMinute, int> perHour;       // key: the hour's first minute; busy hours only
    std::map<EpochMinute, int> perTenMinutes; // key: the first minute of the 10 minutes
    std::vector<OffTime> offTimes;            // in time order
};

// The log in any order; QSOs whose date cannot be broken down are left out.
QsoRates qsoRates(const std::vector<LogQso>& qsos);

// Lines for the text output, each under 100 columns; times with the date unless
// oneDay.
std::string rateText(const QsoRates& rates, bool oneDay);

// "rates" in the open object: best_10_minutes and best_60_minutes (qsos, qsos_per_hour,
// start, end; null without QSOs), per_hour and off_times.
void writeRatesJson(JsonWriter& json, const QsoRates& rates);

// CSV rows of the tours table's layout (row,tour,start,end,minutes,qsos,qsos_per_hour,
// then `width` - 7 columns left empty): best_rate, hour and off_time.
std::string rateCsvRows(const QsoRates& rates, std::size_t width);

} // namespace korvane
