#include "scoring/Summary.h"

#include "scoring/TextFormat.h"

#include <unordered_map>
#include <unordered_set>

namespace {

constexpr const char* kCredit = "korvane-stats, 2026";

} // namespace

SummaryResult buildSummary(BandList& bands, const QsoLog& log, const ContestState& state)
{
    SummaryResult result;
    std::string& text = result.text;
    appendFormat(text, "\tKorvane %s \r\n         Contestant: %s\r\nBand\tQSOs\tPoints\tNew Call\r\n",
                 state.endDateText.c_str(), state.ownCall.c_str());

    bands.sortDescending();

    // Bucket the records by band once; each bucket keeps log order, so walking the
    // buckets in band order visits records exactly as a rescan per band would.
    std::unordered_map<std::string, std::size_t> bandIndex;
    for (std::size_t b = 0; b < bands.size(); ++b)
        bandIndex.emplace(bands[b], b);
    std::vector<std::vector<const QsoRecord*>> buckets(bands.size());
    for (const QsoRecord& r : log.records()) {
        if (r.call.empty())
            continue;
        auto found = bandIndex.find(r.band);
        if (found != bandIndex.end())
            buckets[found->second].push_back(&r);
    }

    std::unordered_set<std::string> seen;
    int newCalls = 0;
    int pointsTotal = 0;
    for (std::size_t b = 0; b < bands.size(); ++b) {
        int qsos = 0;
        for (const QsoRecord* r : buckets[b]) {
            ++qsos;
            if (!r->multiplierKey.empty() && seen.insert(r->multiplierKey).second) {
                if (r->multiplierKey != state.listFilter)
                    result.multipliers.push_back(r->multiplierKey);
                ++newCalls;
            }
        }
        const int points = qsos;
        appendFormat(text, "%s\t %i\t %i\r\n", bands[b].c_str(), qsos, points);
        pointsTotal += points;
    }

    appendFormat(text, "Total\t %i\t %i\t   %i\r\n", static_cast<int>(log.size()), pointsTotal,
                 newCalls);
    result.score = pointsTotal + newCalls;
    appendFormat(text, "\r\nScore: %i+%i  = %i\r\n", pointsTotal, newCalls, result.score);
    text += kCredit;
    return result;
}

const char* cabrilloModeCode(const std::string& mode)
{
    if (mode == "CW")
        return "CW";
    if (mode == "SSB")
        return "PH";
    return "PM";
}
