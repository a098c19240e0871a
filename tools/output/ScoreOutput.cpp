#include "tools/output/ScoreOutput.h"


namespace korvane {

std::string claimLine(int pluginScore, const std::optional<int>& committeeScore,
                      std::size_t refused)
{
    const std::string plugin = std::to_string(pluginScore);
    if (!committeeScore)
        return "The committee's count is unknown: this plug-in cannot check the QSOs at their\n"
               "own times; " + plugin + " holds only if its tour rule refuses none of them\n";
    const std::string committee = std::to_string(*committeeScore);
    if (refused == 0)
        return "Claim " + committee + ": the tour rule refuses no QSO here, so the committee "
               "counts them all\n";
    return "Claim " + committee + ": the committee leaves out the " + std::to_string(refused) +
           (refused == 1 ? " repeat" : " repeats") + " the tour rule refuses;\nthe plug-in's " +
           plugin + " counts " + (refused == 1 ? "it" : "them") + " (korvane check lists " +
           (refused == 1 ? "it" : "them") + ")\n";
}

std::string isoTime(const COleDateTime& time)
{
    return formatOleDate(time, "%Y-%m-%dT%H:%M:%SZ");
}

std::string scoreJson(const ScoreReport& r)
{
    const ScoreSummary& s = r.summary;
    JsonWriter json;
    json.beginObject();
    writeLogHead(json, r.log);
    json.key("title").value(s.title);
    json.key("bands").beginArray();
    for (const ScoreSummary::Band& b : s.bands)
        json.beginObject(true).key("band").value(b.band).key("qsos").value(b.qsos)
            .key("points").value(b.points).endObject();
    json.endArray();
    json.key("total").beginObject(true);
    json.key("qsos").value(s.qsos).key("points").value(s.points).key("new_calls").value(s.newCalls);
    json.endObject();
    json.key("score").value(s.score);
    json.key("committee_score").value(r.committeeScore);
    json.key("multipliers").beginArray();
    for (const Multiplier& m : r.multipliers)
        json.beginObject(true).key("call").value(m.call).key("band").value(m.band).endObject();
    json.endArray();
    json.key("refusals");
    if (!r.refusals) {
        json.null();
    } else {
        json.beginArray();
        for (const Refusal& x : *r.refusals)
            json.beginObject(true)
                .key("position").value(x.position).key("line").value(x.line)
                .key("time").value(isoTime(x.time)).key("call").value(x.call)
                .key("band").value(x.band).key("mode").value(x.mode)
                .key("message").value(x.message)
                .endObject();
        json.endArray();
    }
    if (r.reportRequested) {
        json.key("cabrillo_file");
        if (r.cabrilloFile.empty())
            json.null();
        else
            json.value(r.cabrilloFile);
    }
    json.endObject();
    return json.str();
}

std::string scoreCsv(const ScoreReport& r)
{
    const ScoreSummary& s = r.summary;
    const auto n = [](long long v) { return std::to_string(v); };
    std::string out = csvRow({"section", "band", "mode", "call", "qsos", "points", "new_calls",
                              "score", "position", "line", "time", "message"});
    for (const ScoreSummary::Band& b : s.bands)
        out += csvRow({"band", b.band, "", "", n(b.qsos), n(b.points), "", "", "", "", "", ""});
    out += csvRow({"total", "", "", "", n(s.qsos), n(s.points), n(s.newCalls), n(s.score), "", "",
                   "", ""});
    if (r.committeeScore)
        out += csvRow({"committee", "", "", "", "", "", "", n(*r.committeeScore), "", "", "", ""});
    for (const Multiplier& m : r.multipliers)
        out += csvRow({"multiplier", m.band, "", m.call, "", "", "", "", "", "", "", ""});
    if (r.refusals)
        for (const Refusal& x : *r.refusals)
            out += csvRow({"refusal", x.band, x.mode, x.call, "", "", "", "",
                           n(static_cast<long long>(x.position)), n(static_cast<long long>(x.line)),
                           isoTime(x.time), x.message});
    return out;
}

} // namespace korvane
