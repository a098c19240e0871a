#pragma once
// The plug-in as korvane drives it: loaded through the host stand-in, called only
// through its exports, QSOs passed in the host's terms.

#include "tools/host/StatsHost.h"
#include "tools/korvane/ContestRun.h"
#include "tools/korvane/logs/LogQso.h"

#include <string>

namespace korvane {

struct PluginChoice {
    std::string path;       // empty: the plug-in next to the korvane executable
    bool decorated = false; // resolve the exports by their decorated names
};

// libStats.so or Stats.dll in the executable's folder.
std::string defaultPluginPath();

class PluginSession {
public:
    // False with a reason when the plug-in or one of its exports is missing.
    bool load(const PluginChoice& choice, std::string* error);
    const std::string& path() const { return path_; }

    int reset(bool reportRequested, const ContestRun& run);
    int add(const LogQso& qso);
    int check(const LogQso& qso, std::string* message);
    std::string result(int* score);

    // The clock override for replays; false when this plug-in has none.
    bool hasTourClock() const { return setTourClock_ != nullptr; }
    bool setTourClock(const COleDateTime* utc);

    host::StatsHost& host() { return host_; }

private:
    host::StatsHost host_;
    host::SetTourClockFn setTourClock_ = nullptr;
    std::string path_;
};

} // namespace korvane
