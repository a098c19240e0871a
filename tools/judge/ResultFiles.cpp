#include "tools/judge/ResultFiles.h"

#include "tools/judge/ResultsFolder.h"
#include "tools/judge/LogQuotes.h"

#include <cstdio>
#include <filesystem>

namespace korvane::judge {
namespace {

Fill whole(std::string text)
{
    return [text = std::move(text)](const Sink& sink) { sink(text); };
}

} // namespace

bool writeResults(const Judgement& j, const std::string& dir, std::string* error)
{
    ResultsFolder folder{std::filesystem::path(dir)};
    if (!folder.begin(error) || !folder.write("results.txt", whole(resultsText(j)), error) ||
        !folder.write("results.csv", whole(resultsCsv(j)), error) ||
        !folder.write("results.json", [&](const Sink& sink) { resultsJson(j, sink); }, error) ||
        !folder.write("results.html", whole(resultsHtml(j)), error))
        return false;
    LogQuotes quotes(j.logs);
    for (std::uint32_t s = 0; s < j.logs.stations.size(); ++s)
        if (!folder.write("reports/" + reportFileName(j.logs.stations[s].call), whole(stationReport(j, s, quotes)),
                          error))
            return false;
    return folder.commit(error);
}

} // namespace korvane::judge
