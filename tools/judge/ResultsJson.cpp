// results.json: the standings and every finding, for scripts.
#include "tools/output/OutputFormat.h"
#include "tools/judge/FindingDetail.h"
#include "tools/judge/ResultFiles.h"
#include "tools/judge/Standings.h"

namespace korvane::judge {
namespace {

// The style of every JSON korvane writes: names in snake_case, times in ISO 8601 UTC.
constexpr const char* kIsoMinute = "%Y-%m-%dT%H:%M:00Z";

void qsoFields(JsonWriter& w, const ContestLogs& logs, const Station& s, const CompactQso& q)
{
    w.key("line").value(static_cast<std::size_t>(q.line));
    w.key("time").value(formatMinute(q.minute, kIsoMinute));
    w.key("band").value(logs.bands.text(q.band));
    w.key("mode").value(logs.modes.text(q.mode));
    w.key("call").value(logs.calls.text(q.call));
    w.key("sent").value(exchangeText(q.sent, logs.exchanges));
    w.key("received").value(exchangeText(q.received, logs.exchanges));
    w.key("qso").value(cabrilloLine(logs, s, q));
}

void findings(JsonWriter& w, const Judgement& j, std::uint32_t station)
{
    const Station& s = j.logs.stations[station];
    w.key("findings").beginArray();
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i) {
        const CompactQso& q = j.logs.qsos[i];
        if (!worthReporting(q))
            continue;
        const FindingDetail d = explainFinding(j, station, i);
        w.beginObject(true);
        w.key("finding").value(findingKey(q.finding));
        w.key("counts").value(counts(q.finding, j.rules));
        if (q.flags & kOtherBustedMyCall)
            w.key("other_busted_call").value(true);
        w.key("why").value(d.why);
        qsoFields(w, j.logs, s, q);
        if (d.otherIndex != kNoIndex) {
            const Station& o = j.logs.stations[d.otherStation];
            w.key("other").beginObject(true).key("station").value(o.call);
            qsoFields(w, j.logs, o, j.logs.qsos[d.otherIndex]);
            w.endObject();
        }
        w.endObject();
    }
    w.endArray();
}

void station(JsonWriter& w, const Judgement& j, std::uint32_t s)
{
    const Station& st = j.logs.stations[s];
    const StationResult& r = j.results[s];
    w.beginObject();
    w.key("call").value(st.call);
    w.key("file").value(st.file);
    w.key("category").value(st.category);
    w.key("operators").value(st.operators);
    w.key("claimed_score").value(st.claimedScore);
    w.key("qsos").value(static_cast<std::size_t>(st.count));
    w.key("valid").value(static_cast<std::size_t>(r.valid));
    w.key("nil").value(static_cast<std::size_t>(r.nil));
    w.key("busted").value(static_cast<std::size_t>(r.busted));
    w.key("by_finding").beginObject(true);
    for (const FindingKind& kind : kFindingKinds)
        w.key(kind.jsonName).value(static_cast<std::size_t>(r.byFinding[static_cast<int>(kind.finding)]));
    w.endObject();
    w.key("unreadable_lines").value(st.skippedLines);
    w.key("plugin_score").value(r.pluginScore);
    w.key("penalty").value(r.penalty);
    w.key("score").value(r.score);
    w.key("rank").value(static_cast<std::size_t>(r.rank));
    w.key("overall_rank").value(static_cast<std::size_t>(r.overallRank));
    w.key("check_log").value(st.checkLog);
    w.key("unique_percent").value(static_cast<std::size_t>(uniquePercent(j, s)));
    w.key("mostly_unique").value(mostlyUniques(j, s));
    w.key("notes").beginArray();
    for (const std::string& note : st.notes)
        w.value(note);
    w.endArray();
    const ClockOffset& clock = j.check.offsets[s];
    w.key("clock_offset");
    if (clock.minutes != 0)
        w.beginObject(true).key("minutes").value(clock.minutes).key("samples")
            .value(static_cast<std::size_t>(clock.samples)).endObject();
    else
        w.null();
    // Only for a log whose partners all logged another call, to spare every other station a null.
    if (!st.callDoubt.empty())
        w.key("call_doubt").value(st.callDoubt);
    w.key("report").value("reports/" + reportFileName(st.call));
    findings(w, j, s);
    w.endObject();
}

} // namespace

void resultsJson(const Judgement& j, const std::function<void(const std::string&)>& sink)
{
    // DEL as it is, as these files have always carried it.
    JsonWriter w(JsonDel::AsIs);
    w.beginObject();
    w.key("contest").value(j.rules.contest.name);
    w.key("period").beginObject(true);
    w.key("start").value(formatMinute(j.rules.start, kIsoMinute));
    w.key("end").value(formatMinute(j.rules.end, kIsoMinute));
    w.endObject();
    w.key("tolerance_minutes").value(j.rules.tolerance);
    w.key("penalty").value(j.rules.penalty);
    w.key("uniques_count").value(j.rules.uniquesValid);
    w.key("categories").beginArray();
    for (const Category& c : j.categories) {
        w.beginObject();
        w.key("name").value(c.name);
        w.key("stations").beginArray();
        for (std::uint32_t s : c.stations) {
            station(w, j, s);
            sink(w.drain()); // a station at a time: the whole text would be larger than the logs
        }
        w.endArray();
        w.endObject();
    }
    w.endArray();
    w.key("check_logs").beginArray();
    for (std::uint32_t s : j.checkLogs) {
        station(w, j, s);
        sink(w.drain());
    }
    w.endArray();
    w.key("finding_totals").beginObject(true);
    const auto totals = contestCounts(j);
    for (const FindingKind& kind : kFindingKinds)
        w.key(kind.jsonName).value(static_cast<std::size_t>(totals[static_cast<int>(kind.finding)]));
    w.endObject();
    w.key("unreadable").beginArray();
    for (const UnreadableLog& u : j.logs.unreadable) {
        w.beginObject(true);
        w.key("file").value(u.file);
        w.key("call").value(u.call);
        w.key("reason").value(u.reason);
        w.key("line").value(u.line);
        w.endObject();
    }
    w.endArray();
    w.endObject();
    sink(w.str());
}

std::string resultsJson(const Judgement& j)
{
    std::string text;
    resultsJson(j, [&](const std::string& piece) { text += piece; });
    return text;
}

} // namespace korvane::judge
