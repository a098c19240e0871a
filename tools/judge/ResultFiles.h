#pragma once
// What the committee publishes: the results as text, CSV, JSON and one HTML page,
// and a report per station of every QSO that lost points and why.

#include "tools/judge/Judgement.h"

#include <cstdint>
#include <functional>
#include <string>

namespace korvane::judge {

class LogQuotes;

// Tables by category, one line per station.
std::string resultsText(const Judgement& j);
// The same, one row per station after a heading row.
std::string resultsCsv(const Judgement& j);
// The same and every finding, for scripts: whole, or handed to sink piece by piece.
std::string resultsJson(const Judgement& j);
void resultsJson(const Judgement& j, const std::function<void(const std::string&)>& sink);
// One page that needs no script and no network; each call links to its report.
std::string resultsHtml(const Judgement& j);
// The station's log check report. The second form shares the quoted lines of the logs
// between reports.
std::string stationReport(const Judgement& j, std::uint32_t station);
std::string stationReport(const Judgement& j, std::uint32_t station, LogQuotes& quotes);

// The report's file name below reports/: the call with '/' as '-' ("RK3AZ-P.txt"),
// any other byte escaped, a device name or a long call made safe; distinct calls give
// distinct names.
std::string reportFileName(const std::string& call);

// The period in words: "2026-11-21 15:00 to 18:00 UTC".
std::string periodText(const JudgeRules& rules);

// Writes results.txt, .csv, .json, .html and reports/ into dir, created when missing,
// all of them staged first and then moved into place (see ResultsFolder). False with the
// reason when a file cannot be written: then dir holds the earlier results untouched.
bool writeResults(const Judgement& j, const std::string& dir, std::string* error);

} // namespace korvane::judge
