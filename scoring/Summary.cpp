#include "scoring/Summary.h"

#include "scoring/TextFormat.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr const char* kCredit = "korvane-stats, 2026";
constexpr std::uint32_t kUnranked = 0xffffffffu;

// Counts the QSOs with a call per band rank, and returns per rank the new calls it
// gets. A rescan per band in sorted order would count each call under the first band
// where it occurs and list one band's calls in log order; two passes over the log give
// the same: the first finds each call's lowest rank, the second lists each call at the
// first record that has it. Both passes are free of data-dependent branches: with calls
// in random order those mispredict on most records and would cost more than the work.
template <typename Rank>
std::vector<std::vector<std::uint32_t>> countRanks(const QsoLog& log,
                                                   const std::vector<std::uint32_t>& rankOfBand,
                                                   std::vector<int>& qsosPerBand)
{
    constexpr Rank kNone = std::numeric_limits<Rank>::max();
    const std::size_t bandCount = qsosPerBand.size();
    const std::size_t keyCount = log.multiplierKeyCount();
    // One spare slot each: records that count nowhere go there instead of branching.
    std::vector<std::uint32_t> counts(bandCount + 1, 0);
    std::vector<Rank> lowestRank(keyCount + 1, kNone);
    const std::vector<QsoLog::RecordKeys>& keys = log.keys();

    auto rankOf = [&](const QsoLog::RecordKeys& k) {
        const std::uint32_t rank = rankOfBand[k.bandId];
        return k.hasCall && rank != kUnranked ? rank : static_cast<std::uint32_t>(bandCount);
    };
    auto keyOf = [&](const QsoLog::RecordKeys& k, std::uint32_t rank) {
        return k.keyId != QsoLog::kNoId && rank != bandCount ? k.keyId : keyCount;
    };
    for (const QsoLog::RecordKeys& k : keys) {
        const std::uint32_t rank = rankOf(k);
        ++counts[rank];
        Rank& lowest = lowestRank[keyOf(k, rank)];
        lowest = std::min(lowest, static_cast<Rank>(rank));
    }

    std::vector<std::vector<std::uint32_t>> newCalls(bandCount + 1);
    std::vector<std::uint32_t> filled(bandCount + 1, 0);
    for (std::size_t b = 0; b <= bandCount; ++b)
        newCalls[b].resize(counts[b] + 1);
    std::vector<std::uint8_t> listed(keyCount + 1, 1); // the spare key is never listed
    std::fill(listed.begin(), listed.begin() + static_cast<std::ptrdiff_t>(keyCount), 0);
    for (const QsoLog::RecordKeys& k : keys) {
        const std::uint32_t rank = rankOf(k);
        const std::size_t key = keyOf(k, rank);
        // Without a branch: the pass runs once per record, and the branch would be random.
        const std::uint32_t isNew =
            static_cast<std::uint32_t>(static_cast<Rank>(rank) == lowestRank[key]) & (listed[key] ^ 1u);
        listed[key] |= static_cast<std::uint8_t>(isNew);
        newCalls[rank][filled[rank]] = static_cast<std::uint32_t>(key);
        filled[rank] += isNew;
    }
    for (std::size_t b = 0; b < bandCount; ++b) {
        qsosPerBand[b] = static_cast<int>(counts[b]);
        newCalls[b].resize(filled[b]);
    }
    newCalls.pop_back();
    return newCalls;
}
} // namespace

BandCounts countBands(const QsoLog& log, const std::vector<std::string>& bandOrder,
                      const std::string& listFilter)
{
    // Rank of each interned band in the given order.
    std::vector<std::uint32_t> rankOfBand(log.bandIdCount(), kUnranked);
    for (std::size_t rank = 0; rank < bandOrder.size(); ++rank) {
        const std::uint32_t id = log.bandId(bandOrder[rank]);
        if (id != QsoLog::kNoId)
            rankOfBand[id] = static_cast<std::uint32_t>(rank);
    }
    BandCounts counts;
    counts.qsos.assign(bandOrder.size(), 0);
    // Small ranks fit a byte, which keeps the per-call table in the fastest cache.
    counts.listed = bandOrder.size() < 0xff
                        ? countRanks<std::uint8_t>(log, rankOfBand, counts.qsos)
                        : countRanks<std::uint32_t>(log, rankOfBand, counts.qsos);
    counts.newCalls.reserve(bandOrder.size());
    const std::uint32_t filteredKey = log.multiplierKeyId(listFilter);
    for (std::vector<std::uint32_t>& keys : counts.listed) {
        counts.newCalls.push_back(static_cast<int>(keys.size()));
        keys.erase(std::remove(keys.begin(), keys.end(), filteredKey), keys.end());
    }
    return counts;
}

SummaryResult buildSummary(BandList& bands, const QsoLog& log, const ContestState& state)
{
    SummaryResult result;
    std::string& text = result.text;
    appendFormat(text, "\tKorvane %s \r\n         Contestant: %s\r\nBand\tQSOs\tPoints\tNew Call\r\n",
                 state.endDateText.c_str(), state.ownCall.c_str());

    bands.sortDescending();
    const BandCounts counts = countBands(log, bands.items(), state.listFilter);
    int newCalls = 0;
    int pointsTotal = 0;
    for (std::size_t b = 0; b < bands.size(); ++b) {
        const std::vector<std::uint32_t>& listed = counts.listed[b];
        result.multiplierKeyIds.insert(result.multiplierKeyIds.end(), listed.begin(), listed.end());
        newCalls += counts.newCalls[b];
        const int qsos = counts.qsos[b];
        const int points = qsos; // one point per QSO
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

std::vector<std::string> multiplierTexts(const QsoLog& log, const SummaryResult& summary)
{
    std::vector<std::string> texts;
    texts.reserve(summary.multiplierKeyIds.size());
    for (std::uint32_t key : summary.multiplierKeyIds)
        texts.push_back(log.multiplierKeyText(key));
    return texts;
}

const char* cabrilloModeCode(const std::string& mode)
{
    if (mode == "CW")
        return "CW";
    if (mode == "SSB")
        return "PH";
    return "PM";
}
