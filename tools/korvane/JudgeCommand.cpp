// korvane judge: every log read, cross-checked and scored, the results written.
#include "tools/korvane/Commands.h"
#include "tools/korvane/DateOption.h"
#include "tools/korvane/JudgeCli.h"
#include "tools/judge/ContestDefinitionFile.h"
#include "tools/judge/ContestPeriodRules.h"
#include "tools/judge/Judgement.h"
#include "tools/judge/LogLoader.h"
#include "tools/korvane/Progress.h"
#include "tools/judge/ResultFiles.h"
#include "tools/judge/ResultsFolder.h"
#include "tools/output/ControlText.h"
#include "tools/korvane/TruthReport.h"

#include <chrono>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>

namespace korvane::judge {
namespace {

namespace fs = std::filesystem;

// The period from --start and --end, each given or the contest definition's.
bool periodOf(const std::string& start, const std::string& end, JudgeRules& rules)
{
    auto minute = [](const std::string& given) -> std::optional<Minute> {
        if (given.empty())
            return std::nullopt;
        const auto date = parseDateOption(given);
        return date ? minuteOf(*date) : std::nullopt;
    };
    std::string error;
    switch (settlePeriod(rules, minute(start), minute(end), &error)) {
    case PeriodProblem::None:
        return true;
    case PeriodProblem::Missing:
        std::fprintf(stderr, "korvane: %s: give --start and --end\n", error.c_str());
        return false;
    case PeriodProblem::Backwards:
        break;
    }
    std::fprintf(stderr, "korvane: %s\n", error.c_str());
    return false;
}

bool contestOf(const std::string& file, JudgeRules& rules)
{
    rules.contest = korvaneContest();
    std::string error;
    if (file.empty() || loadContestDefinition(file, rules.contest, &error))
        return true;
    std::fprintf(stderr, "korvane: --contest %s: %s\n", file.c_str(), error.c_str());
    return false;
}

// "CALL=FILE" options, already checked for their '='.
std::map<std::string, std::string> choicesOf(const std::vector<std::string>& options)
{
    std::map<std::string, std::string> chosen;
    for (const std::string& o : options) {
        const std::size_t equals = o.find('=');
        std::string call = o.substr(0, equals);
        for (char& c : call)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        chosen[call] = o.substr(equals + 1);
    }
    return chosen;
}

// A fresh folder for the plug-in's settings, which it rewrites several times per log: in
// memory where the system has such a folder, else in the temporary folder.
fs::path scratchFolder()
{
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
#if !defined(_WIN32)
    if (fs::is_directory("/dev/shm", ec))
        base = "/dev/shm";
#endif
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (unsigned n = 0;; ++n) {
        fs::path dir = base / ("korvane-judge-" + std::to_string(stamp) + "-" + std::to_string(n));
        if (fs::create_directory(dir, ec) || n > 100)
            return dir;
    }
}

void printSummary(const Judgement& j, const std::string& out)
{
    std::size_t qsos = 0, valid = 0, nil = 0, busted = 0, clocks = 0;
    for (std::uint32_t s = 0; s < j.logs.stations.size(); ++s) {
        qsos += j.logs.stations[s].count;
        valid += j.results[s].valid;
        nil += j.results[s].nil;
        busted += j.results[s].busted;
        clocks += j.check.offsets[s].minutes != 0;
    }
    std::printf("Judged %zu logs with %zu QSOs (%zu logs could not be read): %zu valid, %zu not in "
                "log, %zu busted; %zu clocks corrected\n",
                j.logs.stations.size(), qsos, j.logs.unreadable.size(), valid, nil, busted, clocks);
    // File names and reasons carry a log's bytes; the terminal must only show them.
    for (const Station& s : j.logs.stations)
        for (const std::string& note : s.notes)
            std::printf("  note: %s: %s\n", controlsEscaped(s.file).c_str(), controlsEscaped(note).c_str());
    for (const UnreadableLog& u : j.logs.unreadable)
        std::printf("  not read: %s%s: %s\n", controlsEscaped(u.file).c_str(),
                    u.line ? (":" + std::to_string(u.line)).c_str() : "", controlsEscaped(u.reason).c_str());
    std::printf("Results: %s (results.txt, results.csv, results.json, results.html, reports/)\n",
                controlsEscaped(out).c_str());
}

void takeRules(const JudgeCommandOptions& options, JudgeOptions& o)
{
    o.chosen = choicesOf(options.choose);
    o.rules.tolerance = options.tolerance;
    o.rules.penalty = options.penalty;
    o.rules.uniquesValid = options.uniques != "invalid";
    if (options.uniqueBustLogs >= 0)
        o.rules.contest.uniqueBustLogs = options.uniqueBustLogs;
    o.lenient = options.lenient;
    o.workers = options.workers;
    o.plugin = options.plugin;
}

// The files to judge, hidden ones named; false with the message printed when there are none.
bool filesOf(const std::vector<std::string>& inputs, std::vector<std::string>& files)
{
    std::string error;
    std::vector<std::string> hidden;
    if (!listLogFiles(inputs, files, &error, &hidden)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return false;
    }
    for (const std::string& h : hidden)
        std::fprintf(stderr, "korvane: note: %s is hidden, not read as a log\n", controlsEscaped(h).c_str());
    if (files.empty())
        std::fprintf(stderr, "korvane: no files to judge\n");
    return !files.empty();
}

} // namespace

int runJudge(const JudgeCommandOptions& options)
{
    JudgeOptions o;
    if (!contestOf(options.contest, o.rules))
        return kExitFailed;
    if (!periodOf(options.start, options.end, o.rules))
        return kExitUsage;
    takeRules(options, o);
    if (!filesOf(options.inputs, o.files))
        return kExitFailed;
    std::optional<Truth> truth;
    if (!loadTruthOption(options.truth, truth))
        return kExitFailed;
    std::string error;
    // The plug-in needs its own current directory; everything else is fixed first.
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    const fs::path out = fs::absolute(options.out, ec);
    if (const std::string why = outFolderProblem(out, options.inputs, o.files); !why.empty()) {
        std::fprintf(stderr, "korvane: %s\n", controlsEscaped(why).c_str());
        return kExitUsage;
    }
    fs::create_directories(out, ec);
    if (ec || !fs::is_directory(out)) {
        std::fprintf(stderr, "korvane: cannot create %s\n", out.string().c_str());
        return kExitFailed;
    }
    const bool ownWorkFolder = options.workdir.empty();
    const fs::path work = ownWorkFolder ? scratchFolder() : fs::absolute(options.workdir, ec);
    o.workFolder = work.string();

    ProgressLine progress(!options.quiet);
    o.progress = [&](const char* stage, std::size_t done, std::size_t total) {
        progress.update(stage, done, total);
    };
    Judgement j;
    const bool judged = judgeContest(o, j, &error);
    progress.finish();
    fs::current_path(here, ec);
    if (ownWorkFolder)
        fs::remove_all(work, ec);
    if (!judged) {
        std::fprintf(stderr, "korvane: %s\n", controlsEscaped(j.stopped.empty() ? error : j.stopped).c_str());
        return kExitFailed;
    }
    if (!writeResults(j, out.string(), &error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return kExitFailed;
    }
    printSummary(j, out.string());
    if (truth)
        printAccuracy(j, *truth);
    if (j.logs.stations.empty()) {
        std::fprintf(stderr, "korvane: no log could be judged\n");
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace korvane::judge
