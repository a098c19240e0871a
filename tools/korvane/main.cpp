// korvane: scores, checks and reports a finished contest log through the plug-in's
// exports, as the host logging program would feed it.
#include "contract/SettingsKeys.h"
#include "tools/host/CommandLine.h"
#include "tools/host/ConsoleOutput.h"
#include "tools/logs/AdifReader.h"
#include "tools/korvane/Commands.h"
#include "tools/korvane/HelpFormatter.h"
#include "tools/korvane/PathArgument.h"
#include "tools/korvane/SharedOptions.h"
#include "tools/logs/QsoFields.h"
#include "tools/logs/SentExchange.h"
#include "tools/korvane/ToursCommand.h"
#include "tools/korvane/JudgeCli.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace korvane;

// Values past this would be cut by the plug-in's settings reads anyway.
constexpr std::size_t kMaxSettingBytes = 9999;

// Where the plug-in keeps its settings, as this system writes the path.
std::string settingsPath()
{
    std::string path = settings::kFile;
#if !defined(_WIN32)
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
}

std::string upperCased(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string svgCheck(const std::string& path)
{
    const std::string tail = upperCased(path.size() >= 4 ? path.substr(path.size() - 4) : path);
    return tail == ".SVG" ? std::string() : "the chart is an SVG file: the name must end in .svg";
}

// CLI11 puts the option's name before the reason.
std::string callCheck(const std::string& text) { return callsignProblem(text); }

std::string singleLine(const std::string& text)
{
    if (text.find_first_of("\r\n") != std::string::npos)
        return "this field takes a single line";
    return text.size() > kMaxSettingBytes ? "longer than 9999 bytes" : std::string();
}

std::string multiLine(const std::string& text)
{
    return text.size() > kMaxSettingBytes ? "longer than 9999 bytes" : std::string();
}

// writesReport: the command has --report (score), which the help of the others must
// not speak of.
void addLogOptions(CLI::App& command, LogCommandOptions& o, bool writesReport)
{
    command.add_option("LOG", o.logPath,
                       "ADIF or Cabrillo log (told apart by content); - reads standard input")
        ->required()
        ->transform(systemPathArgument);
    addPluginOptions(command, o.plugin, "Look the exports up by their decorated names, as some hosts do");
    addWorkdirOption(command, o.workdir,
                     "The host's current directory: " + settingsPath() +
                         (writesReport ? " and the .cbr go" : " goes") +
                         " there (default: the current directory; made when missing)");
    command.add_option("--call", o.run.call, "Own callsign (default: from the log)")
        ->transform([](const std::string& v) { return upperCased(v); })
        ->check(callCheck);
    addPeriodOptions(command, o.run.start, o.run.end,
                     {"Contest start, UTC; earlier QSOs are left out",
                      "Contest end, UTC; QSOs from then on are left out"});
    command.add_option("--filter", o.run.filter,
                       "List filter: a call equal to its first two characters is left off "
                       "the multiplier list");
    command.add_flag("--strict", o.strict, "Stop at any malformed record instead of skipping it");
    command.add_option("--max-skipped", o.maxSkippedPercent,
                       writesReport ? "Percent of QSO records that may be unreadable before "
                                      "--report refuses to write the report (default: 5)"
                                    : "Percent of QSO records that may be unreadable before "
                                      "a warning says the results are short (default: 5)")
        ->check(CLI::Range(0.0, 100.0));
    command.add_flag("--lenient", o.lenient,
                     "Go on however many QSO records were unreadable, naming each");
    command
        .add_option("--exchange-field", o.exchangeField,
                    "ADIF: the field (or fields joined by +, e.g. CQZ+STATE) that holds the "
                    "received exchange (default: SRX_STRING, SRX, then the contest fields)")
        ->check([](const std::string& v) { return exchangeFieldProblem(v); });
}

void addFormatOption(CLI::App& command, OutputFormat& format)
{
    command
        .add_option_function<std::string>(
            "--format", [&format](const std::string& v) { format = *parseOutputFormat(v); },
            "text (default), json or csv")
        ->check([](const std::string& v) {
            return parseOutputFormat(v) ? std::string() : "not text, json or csv: " + v;
        });
}

void addHeaderOptions(CLI::App& command, HeaderOptions& h)
{
    // Every text must reach the plug-in in its code page, so each is checked for that too.
    auto text = [&](const char* name, std::optional<std::string>& field, const char* help,
                    std::string (*check)(const std::string&)) {
        command.add_option_function<std::string>(name, [&field](const std::string& v) { field = v; },
                                                 help)
            ->check([check](const std::string& v) {
                const std::string why = check(v);
                return why.empty() ? headerTextProblem(v) : why;
            });
    };
    text("--name", h.name, "NAME of the Cabrillo header", singleLine);
    text("--address", h.address, "ADDRESS; line breaks (or \\n) start new lines", multiLine);
    text("--email", h.email, "EMAIL", singleLine);
    text("--club", h.club, "CLUB", singleLine);
    text("--operators", h.operators, "OPERATORS", singleLine);
    text("--soapbox", h.soapbox, "SOAPBOX; line breaks (or \\n) start new lines", multiLine);
    text("--location", h.location, "LOCATION", singleLine);
    command.add_flag("--clear-header", h.clearStored,
                     "First empty the header fields earlier runs stored");
    for (const CategoryField& f : categoryFields()) {
        std::optional<std::string>& field = h.*f.value;
        command
            .add_option_function<std::string>(
                f.option, [&field](const std::string& v) { field = v; },
                "Typed into the setup dialog (default: the log's)")
            ->check(categoryProblem);
    }
}

CLI::App* addScoreCommand(CLI::App& app, ScoreOptions& score)
{
    CLI::App* command = app.add_subcommand(
        "score", "Feed the log to the plug-in and print its score table and multipliers");
    addLogOptions(*command, score, true);
    command->add_flag("--report", score.report, "Have the plug-in write the Cabrillo file <own call>.cbr");
    command->add_flag("--interactive", score.interactive,
                      "Windows: show the setup dialog and message boxes instead of "
                      "confirming them");
    addHeaderOptions(*command, score.header);
    command
        ->add_option("--sent-exchange", score.sentExchange,
                     "Sent exchange for every QSO; # is its serial, ### gives 001")
        ->check([](const std::string& v) { return sentExchangeProblem(v); });
    addFormatOption(*command, score.format);
    return command;
}

CLI::App* addToursCommand(CLI::App& app, ToursOptions& tours)
{
    CLI::App* command = app.add_subcommand(
        "tours", "Replay the log tour by tour: QSOs by band and mode, new calls, refused "
                 "repeats and the running score per half hour");
    addLogOptions(*command, tours, false);
    addFormatOption(*command, tours.format);
    command->add_option("--chart", tours.chartPath, "Also draw the tours into this SVG file (a name ending in .svg)")
        ->check(svgCheck)
        ->transform(systemPathArgument);
    return command;
}

// A slip such as "scroe" would otherwise read as a stray argument: false with the
// nearest command named.
bool knownCommand(const CLI::App& app, const std::vector<std::string>& args)
{
    if (args.size() < 2 || args[1].empty() || args[1][0] == '-')
        return true;
    std::vector<std::string> names;
    for (const CLI::App* sub : app.get_subcommands({}))
        names.push_back(sub->get_name());
    const std::string& typed = args[1];
    if (std::find(names.begin(), names.end(), typed) != names.end())
        return true;
    const std::string near = nearestCommand(typed, names);
    std::fprintf(stderr, "korvane: no command %s%s\nRun with --help for more information.\n", typed.c_str(),
                 near.empty() ? "" : ("; did you mean " + near + "?").c_str());
    return false;
}

int run(std::vector<std::string> args)
{
    // Named, not after argv[0]: a long install path would push the usage line past the
    // terminal's width.
    CLI::App app{"korvane: scores, checks and reports a KORVANE contest log through the "
                 "Stats plug-in, as the host logging program does",
                 "korvane"};
    app.formatter(std::make_shared<HelpFormatter>());
    app.set_version_flag("--version", std::string("korvane ") + KORVANE_PROJECT_VERSION);
    app.require_subcommand(1);
    // Paths such as /work/log.adi are arguments, not Windows-style options; subcommands
    // take this setting over when they are added.
    app.allow_windows_style_options(false);

    ScoreOptions score;
    const CLI::App* scoreCommand = addScoreCommand(app, score);
    LogCommandOptions check;
    CLI::App* checkCommand = app.add_subcommand(
        "check", "Replay the log as if live and list every QSO the tour rule refuses");
    addLogOptions(*checkCommand, check, false);
    ToursOptions tours;
    const CLI::App* toursCommand = addToursCommand(app, tours);
    PluginChoice exportsPlugin;
    CLI::App* exportsCommand = app.add_subcommand(
        "exports", "List the twenty exports and whether each pair resolves to one function");
    exportsCommand->add_option("PLUGIN", exportsPlugin.path, "The plug-in (default: the one next to korvane)")
        ->transform(systemPathArgument);
    judge::JudgeCommands committee(app); // judge and simulate
    RobotOptions robot;
    addRobotCommand(app, robot);

    if (!knownCommand(app, args))
        return kExitUsage;
    try {
        std::reverse(args.begin(), args.end());
        args.pop_back(); // the program's name
        app.parse(args);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? kExitOk : kExitUsage;
    }
    if (*scoreCommand)
        return runScore(score);
    if (*checkCommand)
        return runCheck(check);
    if (*toursCommand)
        return runTours(tours);
    if (committee.chosen())
        return committee.run();
    if (robot.command->parsed())
        return runRobot(robot);
    return runExports(exportsPlugin);
}

} // namespace

int main(int argc, char** argv)
{
    host::useUtf8Output();
    // Out of memory or a failing stream must end with a message and a status, not abort.
    try {
        return run(host::utf8Arguments(argc, argv));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvane: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "korvane: unexpected failure\n");
    }
    return kExitFailed;
}
