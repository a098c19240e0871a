// korvane score: the log through ResetStats0, AddData0 and GetResult0, as the host
// feeds it after a reset; with --report the plug-in writes its Cabrillo file.
#include "platform/AutoAnswer.h"
#include "tools/korvane/Commands.h"
#include "tools/korvane/LogInput.h"
#include "tools/korvane/ReportFile.h"
#include "tools/korvane/ScoreTable.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace korvane {
namespace {

void printAnswered(const platform::AnsweredWindow& w)
{
    if (w.messageBox)
        std::fprintf(stderr, "[message] %s: %s\n", w.caption.c_str(), w.text.c_str());
    else
        std::fprintf(stderr, "[dialog] %s: confirmed with OK\n", w.caption.c_str());
}

void printMultipliers(const LogInput& input, const std::string& table)
{
    const std::vector<std::string> bands = tableBands(table);
    const std::vector<std::string> calls =
        multipliers(input.log.qsos, bands, input.run.listFilter.substr(0, 2));
    std::printf("\nMultipliers (%zu):\n%s", calls.size(), wrapped(calls, 78, "  ").c_str());
    // The list is rebuilt here from the plug-in's band order; its count must agree.
    const std::size_t distinct = multipliers(input.log.qsos, bands, "").size();
    const std::optional<int> counted = tableNewCalls(table);
    if (counted && static_cast<std::size_t>(*counted) != distinct)
        std::fprintf(stderr, "korvane: warning: the table counts %d new calls, the log holds %zu\n",
                     *counted, distinct);
}

} // namespace

int runScore(const ScoreOptions& options)
{
    LogInput input;
    if (int status = prepareLog(options, input, options.report); status != kExitOk)
        return status;
    PluginSession plugin;
    std::string error;
    if (!plugin.load(options.plugin, &error) || !enterWorkFolder(options.workdir, &error) ||
        !storeHeader(options.header, &error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return kExitFailed;
    }
    if (!options.report && !keepWindowClosed())
        std::fprintf(stderr, "korvane: warning: cannot write Plugins\\MOLTA.ini\n");

    std::unique_ptr<platform::AutoAnswer> answering;
    if (!options.interactive)
        answering = std::make_unique<platform::AutoAnswer>(printAnswered);
#if defined(_WIN32)
    // Unanswered, the setup dialog would wait for an operator who is not there.
    if (answering && !answering->active() && options.report) {
        std::fprintf(stderr, "korvane: cannot confirm the setup dialog unattended; "
                             "use --interactive\n");
        return kExitFailed;
    }
#endif
    const ReportFile report(std::filesystem::current_path());

    plugin.reset(options.report, input.run);
    for (const LogQso& q : input.log.qsos)
        plugin.add(q);
    int score = 0;
    const std::string table = plugin.result(&score);
    answering.reset();

    std::fputs(printableTable(table).c_str(), stdout);
    printMultipliers(input, table);
    std::fputs(readSummary(options, input.log).c_str(), stdout);
    if (!options.report)
        return kExitOk;
    std::filesystem::path written;
    std::string problem;
    if (score != -1)
        problem = "the plug-in did not confirm a report";
    if (!problem.empty() || !report.find(input.log.qsos.size(), &written, &problem)) {
        std::fprintf(stderr, "korvane: no Cabrillo report: %s\n", problem.c_str());
        return kExitFailed;
    }
    std::printf("Cabrillo file: %s (%zu QSO lines)\n", written.string().c_str(),
                input.log.qsos.size());
    return kExitOk;
}

} // namespace korvane
