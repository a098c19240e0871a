// korvane tours: the QSOs in time order replayed as check does, the plug-in's score
// read after each tour's last QSO.
#include "tools/korvane/ToursCommand.h"

#include "tools/korvane/LogInput.h"
#include "tools/logs/LogReplay.h"
#include "tools/output/QsoRates.h"
#include "tools/output/ScoreTable.h"
#include "tools/output/SvgChart.h"
#include "tools/output/TourTable.h"
#include "tools/output/TourTextWidth.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace korvane {
namespace {

constexpr std::size_t kTextWidth = 100;

bool writeFile(const std::string& path, const std::string& text, std::string* error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out)
        out << text;
    if (out)
        out.close();
    if (!out) {
        *error = std::strerror(errno);
        return false;
    }
    return true;
}

// The chart's path from where korvane was started, not from the work folder entered
// later; empty with the reason printed when it is the log being read.
bool chartPathOf(const ToursOptions& options, std::string& chartPath)
{
    chartPath = options.chartPath;
    if (chartPath.empty())
        return true;
    chartPath = std::filesystem::absolute(chartPath).string();
    std::error_code ec;
    if (options.logPath != kStandardInput && std::filesystem::equivalent(options.logPath, chartPath, ec)) {
        std::fprintf(stderr, "korvane: --chart %s is the log being read; korvane never writes "
                             "over its input\n", options.chartPath.c_str());
        return false;
    }
    return true;
}

// The log replayed in time order, as a live operator logs it whatever the file's order,
// with the score taken at the end of each tour.
TourTable replayTours(PluginSession& plugin, const LogInput& input, std::vector<LogQso>& qsos)
{
    qsos = input.log.qsos;
    std::stable_sort(qsos.begin(), qsos.end(),
                     [](const LogQso& a, const LogQso& b) { return a.time.value < b.time.value; });
    plugin.reset(false, input.run);
    TourTally tally;
    replayLog(plugin, qsos, [&](const ReplayStep& step) {
        tally.count(*step.qso, step.verdict);
        const std::optional<long> slot = tourSlot(step.qso->time);
        const bool lastOfTour = step.position == qsos.size() || tourSlot(qsos[step.position].time) != slot;
        if (slot && lastOfTour) {
            int score = 0;
            plugin.result(&score);
            tally.setScore(*slot, score);
        }
    });
    int score = 0;
    return tally.finish(tableBands(plugin.result(&score)));
}

std::string chartTitle(const TourTable& table, const std::string& ownCall)
{
    std::string title = "KORVANE tours of " + ownCall;
    if (table.rows.empty())
        return title;
    const auto day = [](const TourRow& row) { return formatOleDate(tourStart(row.slot), "%Y-%m-%d"); };
    title += ", " + day(table.rows.front());
    if (!table.oneDay())
        title += " to " + day(table.rows.back());
    return title;
}

} // namespace

int runTours(const ToursOptions& options)
{
    LogInput input;
    if (int status = prepareLog(options, input); status != kExitOk)
        return status;
    std::string chartPath;
    if (!chartPathOf(options, chartPath))
        return kExitFailed;
    PluginSession plugin;
    if (int status = openForReplay(options, plugin); status != kExitOk)
        return status;
    std::vector<LogQso> qsos;
    const TourTable table = replayTours(plugin, input, qsos);
    const QsoRates rates = qsoRates(qsos);

    std::string text;
    if (options.format == OutputFormat::Json)
        text = tourJson(table, jsonLogHead(options, input), rates);
    else if (options.format == OutputFormat::Csv)
        text = tourCsv(table, rates);
    else
        text = fittedTourText(table, input.run.ownCall, kTextWidth) + rateText(rates, table.oneDay()) +
               readSummary(options, input);
    std::fputs(text.c_str(), stdout);
    if (chartPath.empty())
        return kExitOk;
    std::string error;
    if (!writeFile(chartPath, tourChartSvg(table, chartTitle(table, input.run.ownCall), rates), &error)) {
        std::fprintf(stderr, "korvane: cannot write %s: %s\n", chartPath.c_str(), error.c_str());
        return kExitFailed;
    }
    if (options.format == OutputFormat::Text)
        std::printf("Chart: %s\n", chartPath.c_str());
    return kExitOk;
}

} // namespace korvane
