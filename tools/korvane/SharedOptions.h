#pragma once
// The options that more than one command takes, each defined once: the plug-in to drive,
// its work folder and the contest period. Where a command means something of its own by
// one (whose folder is the default, what becomes of QSOs outside the period), the
// command gives the help text.

#include "tools/host/PluginSession.h"

#include <string>

namespace CLI {
class App;
}

namespace korvane {

// --plugin and --decorated.
void addPluginOptions(CLI::App& command, PluginChoice& plugin, const std::string& decoratedHelp);

// --workdir, the plug-in's current directory, where it keeps its settings.
void addWorkdirOption(CLI::App& command, std::string& workdir, const std::string& help);

// --start and --end in UTC, each refused with the forms that are read when it cannot be.
// A period already set is shown in the help as the default.
struct PeriodHelp {
    std::string start, end;
};
void addPeriodOptions(CLI::App& command, std::string& start, std::string& end,
                      const PeriodHelp& help);

} // namespace korvane
