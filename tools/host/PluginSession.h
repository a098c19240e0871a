#pragma once
// The plug-in as korvane drives it: loaded through the host stand-in, called only
// through its exports, QSOs passed in the host's terms.

#include "tools/host/ContestRun.h"
#include "tools/host/Qso.h"
#include "tools/host/StatsHost.h"

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
    int add(const host::Qso& qso);
    int check(const host::Qso& qso, std::string* message);
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

// Makes the work folder (and its Plugins folder) the current directory, as the host's
// current directory is for the plug-in; a work folder that had to be made is named on
// stderr.
bool enterWorkFolder(const std::string& workdir, std::string* error);

// Loads the plug-in and enters the work folder for a replay at the QSOs' own times,
// which needs the plug-in's clock override: false, with the message, when the plug-in
// cannot be loaded, the folder cannot be entered or the override is missing.
bool openWithTourClock(PluginSession& plugin, const PluginChoice& choice,
                       const std::string& workdir, std::string* error);

// The plug-in opens its multiplier window on every other reset without a report, as
// the "Start" key alternates; a stand-in host on the command line wants none.
bool keepWindowClosed();

} // namespace korvane
