#pragma once
// The contest as the tours see it: one row per half-hour tour (UTC), its QSOs by band
// and mode, the new calls and refused repeats the replay found in it, and the plug-in's
// score after its last QSO.

#include "contract/OleDateTime.h"
#include "scoring/Tour.h"
#include "tools/logs/LogQso.h"
#include "tools/output/OutputFormat.h"
#include "tools/output/QsoRates.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// The half hour a time falls in, counted from the day number's origin, so that tours
// order and their gaps show; empty for a date that cannot be broken down.
std::optional<long> tourSlot(const COleDateTime& time);

// The plug-in's tour number of a slot (scoring/Tour.h).
int tourNumber(long slot);

// The first minute of a slot.
COleDateTime tourStart(long slot);

struct TourRow {
    long slot = 0;
    std::vector<int> qsos; // by band and mode: qsos[band * modes + mode]
    int total = 0, newCalls = 0, refused = 0;
    int score = 0;         // the plug-in's score after this tour (kept through empty tours)
};

struct TourTable {
    std::vector<std::string> bands, modes;
    std::vector<TourRow> rows; // in time order, empty tours between busy ones included
    int qsosIn(const TourRow& row, std::size_t band, std::size_t mode) const;
    int bandTotal(const TourRow& row, std::size_t band) const;
    int modeTotal(const TourRow& row, std::size_t mode) const;
    // Column sums over all tours, in the same layout as a row (score: the last one).
    TourRow totals() const;
    bool oneDay() const; // every tour on one UTC date
};

// Collects the replay's QSOs tour by tour.
class TourTally {
public:
    // Runs of empty tours longer than this (a night, a second contest day) are left out.
    static constexpr long kLongestGapFilled = 48;

    void count(const LogQso& qso, int verdict); // verdict: CheckCall0's answer
    void setScore(long slot, int score);
    // Bands in the given order (the plug-in's), then any others in the order first seen;
    // modes sorted. QSOs whose date cannot be broken down are left out.
    TourTable finish(const std::vector<std::string>& bandOrder) const;

private:
    struct Counts {
        std::map<std::pair<std::string, std::string>, int> qsos; // (band, mode)
        int total = 0, newCalls = 0, refused = 0;
        std::optional<int> score;
    };
    std::map<long, Counts> tours_;
    std::vector<std::string> bandsSeen_;
};

// The band as a column or legend names it: "160 m" for a number of metres, else as is.
std::string bandLabel(const std::string& band);

// Plain text for a terminal, JSON and CSV for scripts.
std::string tourText(const TourTable& table, const std::string& ownCall);
// CSV: a row per tour (row "tour"), then the rates' rows (QsoRates.h).
std::string tourCsv(const TourTable& table, const QsoRates& rates);

// JSON: the log, bands, modes, tours, total and rates.
std::string tourJson(const TourTable& table, const JsonLogHead& head, const QsoRates& rates);

} // namespace korvane
