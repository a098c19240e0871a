#include "tools/korvane/JudgeCli.h"

#include "tools/korvane/PathArgument.h"
#include "tools/korvane/SharedOptions.h"

#include <CLI/CLI.hpp>

namespace korvane::judge {
namespace {

const PeriodHelp kPeriodHelp = {"Contest start, UTC (default: the contest's)",
                                "Contest end, UTC; QSOs from this minute on are out (default: the contest's)"};

std::string choiceCheck(const std::string& text)
{
    const std::size_t equals = text.find('=');
    return equals == std::string::npos || equals == 0 || equals + 1 == text.size()
               ? "not CALL=FILE: " + text
               : std::string();
}


CLI::App* addJudgeCommand(CLI::App& app, JudgeCommandOptions& j)
{
    CLI::App* command = app.add_subcommand(
        "judge", "Cross-check every submitted log (ADIF or Cabrillo) against the others and publish the "
                 "results: tables by category, a report per station, an HTML page");
    command->add_option("LOGS", j.inputs, "Folders of logs (every file in them and their subfolders), or log files")
        ->required()
        ->transform(systemPathArgument);
    command->add_option("--out", j.out, "Folder for results.txt, .csv, .json, .html and reports/")
        ->required()
        ->transform(systemPathArgument);
    addPeriodOptions(*command, j.start, j.end, kPeriodHelp);
    command->add_option("--contest", j.contest,
                              "The contest's definition, an INI file (default: KORVANE, 2026-11-21 15:00 to 18:00)")
        ->transform(systemPathArgument);
    command->add_option("--choose", j.choose,
                              "CALL=FILE: the log to judge when several claim CALL (repeatable)")
        ->check(choiceCheck);
    command->add_option("--tolerance", j.tolerance, "Minutes the two sides' times may differ by")
        ->capture_default_str()
        ->check(CLI::Range(0, 60));
    command->add_option("--penalty", j.penalty,
                              "Points taken off per NIL or busted QSO, beyond losing the QSO")
        ->capture_default_str()
        ->check(CLI::Range(0, 1000));
    command->add_option("--uniques", j.uniques, "Whether QSOs with calls in no other log count")
        ->capture_default_str()
        ->check(CLI::IsMember({"valid", "invalid"}));
    command->add_option("--unique-bust-logs", j.uniqueBustLogs,
                              "A call in no other log, one character from a call at least N logs "
                              "hold, is a busted copy of it (0: never; default: the contest's, 3)")
        ->check(CLI::Range(0, 100000));
    command->add_flag("--lenient", j.lenient,
                            "Judge logs with broken QSO lines without those lines, instead of "
                            "treating them as not submitted");
    command->add_option("--workers", j.workers, "Threads reading the logs (1 reads on one thread)")
        ->capture_default_str()
        ->check(CLI::Range(1, 64));
    addPluginOptions(*command, j.plugin, "Look the exports up by their decorated names");
    addWorkdirOption(*command, j.workdir,
                     "The plug-in's current directory for its settings (default: a new "
                     "temporary folder, removed afterwards)");
    command->add_flag("--quiet", j.quiet, "No progress line on stderr");
    command->add_option("--truth", j.truth,
                              "A truth.txt of korvane simulate: print precision and recall per kind")
        ->transform(systemPathArgument);
    return command;
}

CLI::App* addSimulateCommand(CLI::App& app, SimulateCommandOptions& s)
{
    CLI::App* command = app.add_subcommand(
        "simulate", "Make up a whole KORVANE contest from a seed: Cabrillo logs with errors put in "
                    "on purpose, and a truth file listing each");
    command->add_option("--stations", s.contest.stations, "Stations taking part, with a log or without")
        ->required()
        ->check(CLI::Range(2u, 1000000u));
    command->add_option("--seed", s.contest.seed, "The same seed gives the same contest")->capture_default_str();
    command->add_option("--out", s.out, "Folder for logs/ and truth.txt")
        ->required()
        ->transform(systemPathArgument);
    command->add_option("--qsos", s.contest.qsosPerLog, "Mean QSO lines per log")
        ->capture_default_str()
        ->check(CLI::Range(1.0, 20000.0));
    command->add_option("--silent", s.contest.silentShare, "Share of stations that send no log")
        ->capture_default_str()
        ->check(CLI::Range(0.0, 0.9));
    command->add_option("--errors", s.contest.errorScale, "Every error rate times this (0: no errors)")
        ->capture_default_str()
        ->check(CLI::Range(0.0, 20.0));
    command->add_flag("--no-hard-cases", s.withoutHardCases,
                               "No errors on both sides of a QSO, logs in local time, suffixes copied "
                               "both ways, hand-typed times far off, serials without leading zeros "
                               "or letters swapped");
    addPeriodOptions(*command, s.start, s.end,
                     {"Contest start, UTC", "Contest end, UTC; QSOs from this minute on are out"});
    return command;
}

} // namespace

JudgeCommands::JudgeCommands(CLI::App& app)
    : judgeCommand_(addJudgeCommand(app, judge_)), simulateCommand_(addSimulateCommand(app, simulate_))
{
}

bool JudgeCommands::chosen() const { return judgeCommand_->parsed() || simulateCommand_->parsed(); }

int JudgeCommands::run() const
{
    return judgeCommand_->parsed() ? runJudge(judge_) : runSimulate(simulate_);
}

} // namespace korvane::judge
