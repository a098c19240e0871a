#pragma once
// korvane score beyond the plug-in's table: the line that says which score to claim,
// and for scripts the table, the multipliers and the tour rule's refusals as one JSON
// document or one CSV table.

#include "tools/logs/LogReplay.h"
#include "tools/output/OutputFormat.h"
#include "tools/output/ScoreTable.h"

#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct ScoreReport {
    JsonLogHead log;
    ScoreSummary summary;
    std::vector<Multiplier> multipliers;
    std::optional<std::vector<Refusal>> refusals; // empty: the plug-in cannot replay
    std::optional<int> committeeScore;            // without the refused repeats; likewise
    bool reportRequested = false;
    std::string cabrilloFile; // the report written; empty when none was
};

// The line that says which score to claim: the committee's when the refusals are known
// (empty: the plug-in cannot replay), with the plug-in's beside it when they differ.
std::string claimLine(int pluginScore, const std::optional<int>& committeeScore,
                      std::size_t refused);

// Times as ISO 8601 UTC: 2026-11-21T15:45:12Z.
std::string isoTime(const COleDateTime& time);

// One object: log, own_call, title, bands, total, score (the plug-in's),
// committee_score (without the refused repeats), multipliers, refusals (these two null
// when unknown) and, when a report was asked for, cabrillo_file (null when none).
std::string scoreJson(const ScoreReport& report);

// One table, a row per item, its kind in the first column:
// section,band,mode,call,qsos,points,new_calls,score,position,line,time,message
// with the sections band, total, committee (the score without the refused repeats, when
// known), multiplier and refusal.
std::string scoreCsv(const ScoreReport& report);

} // namespace korvane
