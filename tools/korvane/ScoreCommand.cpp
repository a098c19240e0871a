// korvane score: the log through ResetStats0, AddData0 and GetResult0, as the host
// feeds it after a reset; with --report the plug-in writes its Cabrillo file.
#include "contract/SettingsKeys.h"
#include "tools/host/AutoAnswer.h"
#include "tools/korvane/Commands.h"
#include "tools/logs/CommitteeScore.h"
#include "tools/korvane/HeaderOrigin.h"
#include "tools/korvane/LogInput.h"
#include "tools/logs/LogReplay.h"
#include "tools/korvane/ReportFile.h"
#include "tools/output/ScoreOutput.h"
#include "tools/output/ScoreTable.h"
#include "tools/logs/SentExchange.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace korvane {
namespace {

void printAnswered(const host::AnsweredWindow& w)
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

// The QSOs after the reset, replayed as check does, for the refusals that the committee
// leaves out; fed plainly (and the refusals empty) when this plug-in cannot replay.
std::optional<std::vector<Refusal>> feed(PluginSession& plugin, const LogInput& input)
{
    if (!plugin.hasTourClock()) {
        std::fprintf(stderr, "korvane: warning: %s has no %s export: refusals unknown\n",
                     plugin.path().c_str(), host::kSetTourClock);
        for (const LogQso& q : input.log.qsos)
            plugin.add(q);
        return std::nullopt;
    }
    std::vector<Refusal> refusals;
    replayLog(plugin, input.log.qsos, [&](const ReplayStep& step) {
        if (step.verdict == kRefused)
            refusals.push_back(refusalOf(step));
    });
    return refusals;
}

// The operator's sent exchange in place of the log's, and a warning for QSOs whose
// Cabrillo lines would lack an exchange.
void settleExchanges(const ScoreOptions& options, LogInput& input)
{
    if (!options.sentExchange.empty()) {
        if (const std::size_t n = applySentExchange(input.log.qsos, options.sentExchange))
            std::fprintf(stderr, "korvane: --sent-exchange replaces the sent exchange the log "
                                 "holds on %zu QSO(s)\n", n);
    }
    for (const std::string& line : missingExchangeWarnings(input.log.qsos, input.log.format))
        std::fprintf(stderr, "korvane: warning: %s\n", line.c_str());
}

// JSON or CSV on stdout; false when the plug-in's table cannot be read.
bool printForScripts(const ScoreOptions& options, const LogInput& input, const std::string& table,
                     std::optional<std::vector<Refusal>> refusals,
                     const std::optional<int>& committeeScore, const std::string& written)
{
    const std::optional<ScoreSummary> summary = parseScoreTable(table);
    if (!summary) {
        std::fprintf(stderr, "korvane: the plug-in's score table cannot be read:\n%s",
                     printableTable(table).c_str());
        return false;
    }
    ScoreReport r;
    r.log = jsonLogHead(options, input);
    r.summary = *summary;
    r.multipliers = multipliersByBand(input.log.qsos, tableBands(table),
                                      input.run.listFilter.substr(0, 2));
    r.refusals = std::move(refusals);
    r.committeeScore = committeeScore;
    r.reportRequested = options.report;
    r.cabrilloFile = written;
    const std::string text = options.format == OutputFormat::Json ? scoreJson(r) : scoreCsv(r);
    std::fputs(text.c_str(), stdout);
    return true;
}

// Before the plug-in is loaded: nothing of the user's may be written over, and the
// categories to type are settled. False with the message printed.
bool planReport(const ScoreOptions& options, const LogInput& input, HeaderSources& sources)
{
    std::string note;
    const std::string problem =
        reportTargetProblem(options.logPath, options.workdir, input.run.ownCall, &note);
    if (!problem.empty()) {
        std::fprintf(stderr, "korvane: %s\n", problem.c_str());
        return false;
    }
    if (!note.empty())
        std::fprintf(stderr, "korvane: %s\n", note.c_str());
    std::vector<std::string> notes;
    sources.categories = chooseCategories(options.header, input.log, notes);
    for (const std::string& n : notes)
        std::fprintf(stderr, "korvane: warning: %s\n", n.c_str());
    sources.given = options.header;
    sources.callGiven = !options.run.call.empty();
    return true;
}

// In the work folder: the stored header emptied when asked, noted, then this run's stored.
bool prepareHeader(const ScoreOptions& options, const LogInput& input, HeaderSources& sources,
                   std::string* error)
{
    if (options.header.clearStored && !clearStoredHeader(error))
        return false;
    sources.stored = readStoredHeader();
    if (options.report) {
        const std::string warning = operatorsWarning(sources.stored, options.header, input.run.ownCall);
        if (!warning.empty())
            std::fprintf(stderr, "korvane: warning: %s\n", warning.c_str());
    }
    return storeHeader(options.header, error);
}

// The written file's header, field by field, with where each came from.
void printHeaderOrigins(const std::filesystem::path& written, const HeaderSources& sources)
{
    std::ifstream in(written, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "korvane: the header of %s, and where each field comes from:\n%s",
                 written.filename().string().c_str(), headerOrigins(text, sources).c_str());
}

// Categories are typed into the report's dialog, never stored: without it they are lost.
void warnCategoriesWithoutReport(const ScoreOptions& options)
{
    for (const CategoryField& f : categoryFields())
        if (!options.report && options.header.*f.value)
            std::fprintf(stderr, "korvane: warning: %s has no effect without --report\n", f.option);
}

// Who answers the plug-in's dialogs: korvane with the typed texts, or, on Windows with
// --interactive, the operator. False when the dialog would wait for nobody.
bool arrangeAnswers(const ScoreOptions& options, const HeaderSources& sources,
                    std::unique_ptr<host::AutoAnswer>& answering)
{
#if defined(_WIN32)
    const bool operatorAnswers = options.interactive;
#else
    const bool operatorAnswers = false; // no display: the typed texts are the only answer
#endif
    if (!operatorAnswers)
        answering = std::make_unique<host::AutoAnswer>(printAnswered, typedCategories(sources.categories));
#if defined(_WIN32)
    if (answering && !answering->active() && options.report) {
        std::fprintf(stderr, "korvane: cannot confirm the setup dialog unattended; "
                             "use --interactive\n");
        return false;
    }
#endif
    return true;
}

void printForPeople(const ScoreOptions& options, const LogInput& input, const std::string& table,
                    std::optional<int> committeeScore, std::size_t refused)
{
    std::fputs(printableTable(table).c_str(), stdout);
    printMultipliers(input, table);
    std::fputs(readSummary(options, input).c_str(), stdout);
    if (const std::optional<ScoreSummary> summary = parseScoreTable(table))
        std::fputs(claimLine(summary->score, committeeScore, refused).c_str(), stdout);
}

// The report the plug-in wrote, its header's origins listed; empty with the problem
// when it wrote none.
std::filesystem::path reportWritten(const ReportFile& report, int score, const LogInput& input,
                                    const HeaderSources& sources, std::string* problem)
{
    std::filesystem::path written;
    if (score != -1)
        *problem = "the plug-in did not confirm a report";
    else if (!report.find(input.log.qsos.size(), &written, problem))
        written.clear();
    else
        printHeaderOrigins(written, sources);
    return written;
}

} // namespace

int runScore(const ScoreOptions& options)
{
    LogInput input;
    if (int status = prepareLog(options, input, options.report); status != kExitOk)
        return status;
    settleExchanges(options, input);
    HeaderSources sources;
    if (options.report && !planReport(options, input, sources))
        return kExitFailed;
    warnCategoriesWithoutReport(options);
    PluginSession plugin;
    std::string error;
    if (!plugin.load(options.plugin, &error) || !enterWorkFolder(options.workdir, &error) ||
        !prepareHeader(options, input, sources, &error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return kExitFailed;
    }
    if (!options.report && !keepWindowClosed())
        std::fprintf(stderr, "korvane: warning: cannot write %s\n", settings::kFile);
    std::unique_ptr<host::AutoAnswer> answering;
    if (!arrangeAnswers(options, sources, answering))
        return kExitFailed;
    const ReportFile report(std::filesystem::current_path());

    plugin.reset(options.report, input.run);
    std::optional<std::vector<Refusal>> refusals = feed(plugin, input);
    int score = 0;
    const std::string table = plugin.result(&score);
    std::optional<int> committeeScore;
    if (refusals)
        committeeScore = scoreWithoutRefused(plugin, input.run, input.log.qsos, *refusals);
    answering.reset();

    const bool forScripts = options.format != OutputFormat::Text;
    if (!forScripts)
        printForPeople(options, input, table, committeeScore, refusals ? refusals->size() : 0);
    std::filesystem::path written;
    std::string problem;
    if (options.report)
        written = reportWritten(report, score, input, sources, &problem);
    if (forScripts && !printForScripts(options, input, table, std::move(refusals), committeeScore, written.string()))
        return kExitFailed;
    if (!problem.empty()) {
        std::fprintf(stderr, "korvane: no Cabrillo report: %s\n", problem.c_str());
        return kExitFailed;
    }
    if (options.report && !forScripts)
        std::printf("Cabrillo file: %s (%zu QSO lines)\n", written.string().c_str(), input.log.qsos.size());
    return kExitOk;
}

} // namespace korvane
