#include "tools/korvane/TruthReport.h"

#include "tools/judge/Accuracy.h"

#include <cstdio>

namespace korvane::judge {
namespace {

constexpr std::size_t kMistakesShown = 10;
constexpr double kPublishable = 0.995;

} // namespace

bool loadTruthOption(const std::string& path, std::optional<Truth>& truth)
{
    if (path.empty())
        return true;
    std::string error;
    Truth read;
    if (!readTruth(path, read, &error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return false;
    }
    truth = std::move(read);
    return true;
}

void printAccuracy(const Judgement& j, const Truth& truth)
{
    const Accuracy a = measureAccuracy(j, truth, kMistakesShown);
    std::printf("\nAgainst the truth (%zu logs, %zu QSO lines put in):\n", truth.logs, truth.qsoLines);
    std::fputs(accuracyTable(a).c_str(), stdout);
    for (const std::string& m : a.mistakes)
        std::printf("  %s\n", m.c_str());
    if (a.mistakeCount > a.mistakes.size())
        std::printf("  ... %zu mistakes in all\n", a.mistakeCount);
    std::printf("Every kind at least %.1f%% precision and recall: %s\n", 100 * kPublishable,
                meetsEveryClass(a, kPublishable) ? "yes" : "no");
}

} // namespace korvane::judge
