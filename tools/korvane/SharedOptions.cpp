#include "tools/korvane/SharedOptions.h"

#include "tools/korvane/DateOption.h"
#include "tools/korvane/PathArgument.h"

#include <CLI/CLI.hpp>

namespace korvane {
namespace {

// CLI11 puts the option's name before the reason.
std::string dateCheck(const std::string& text) { return dateOptionProblem(text); }

void addDateOption(CLI::App& command, const char* name, std::string& value, const std::string& help)
{
    CLI::Option* option = command.add_option(name, value, help);
    if (!value.empty())
        option->default_str(value);
    option->check(dateCheck);
}

} // namespace

void addPluginOptions(CLI::App& command, PluginChoice& plugin, const std::string& decoratedHelp)
{
    command.add_option("--plugin", plugin.path,
                       "The plug-in to load (default: the one next to korvane)")
        ->transform(systemPathArgument);
    command.add_flag("--decorated", plugin.decorated, decoratedHelp);
}

void addWorkdirOption(CLI::App& command, std::string& workdir, const std::string& help)
{
    command.add_option("--workdir", workdir, help)->transform(systemPathArgument);
}

void addPeriodOptions(CLI::App& command, std::string& start, std::string& end,
                      const PeriodHelp& help)
{
    addDateOption(command, "--start", start, help.start);
    addDateOption(command, "--end", end, help.end);
}

} // namespace korvane
