#include "LiteralSummary.h"

#include "scoring/TextFormat.h"

#include <algorithm>

namespace {

std::string padded(const std::string& band)
{
    return band.size() >= 20 ? band : std::string(20 - band.size(), '0') + band;
}

} // namespace

LiteralSummary literalSummary(std::vector<std::string>& bandList,
                              const std::vector<QsoRecord>& log, const ContestState& state)
{
    LiteralSummary out;
    appendFormat(out.text, "\tKorvane %s \r\n         Contestant: %s\r\nBand\tQSOs\tPoints\tNew Call\r\n",
                 state.endDateText.c_str(), state.ownCall.c_str());
    for (std::size_t i = 0; i + 1 < bandList.size(); ++i)
        for (std::size_t j = i + 1; j < bandList.size(); ++j)
            if (padded(bandList[i]) < padded(bandList[j]))
                std::swap(bandList[i], bandList[j]);

    std::vector<std::string> seen;
    int newCalls = 0, pointsTotal = 0;
    for (const std::string& b : bandList) {
        int qsos = 0;
        for (const QsoRecord& r : log) {
            if (r.band != b || r.call.empty())
                continue;
            ++qsos;
            if (!r.multiplierKey.empty() &&
                std::find(seen.begin(), seen.end(), r.multiplierKey) == seen.end()) {
                seen.push_back(r.multiplierKey);
                if (r.multiplierKey != state.listFilter)
                    out.multipliers.push_back(r.multiplierKey);
                ++newCalls;
            }
        }
        appendFormat(out.text, "%s\t %i\t %i\r\n", b.c_str(), qsos, qsos);
        pointsTotal += qsos;
    }
    appendFormat(out.text, "Total\t %i\t %i\t   %i\r\n", static_cast<int>(log.size()), pointsTotal,
                 newCalls);
    out.score = pointsTotal + newCalls;
    appendFormat(out.text, "\r\nScore: %i+%i  = %i\r\n", pointsTotal, newCalls, out.score);
    out.text += "korvane-stats, 2026";
    return out;
}
