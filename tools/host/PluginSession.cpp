#include "tools/host/PluginSession.h"

#include "contract/SettingsKeys.h"
#include "platform/profile/ProfileFile.h"
#include "tools/host/ProgramLocation.h"

#include <cstdio>
#include <filesystem>

namespace korvane {

std::string defaultPluginPath()
{
#if defined(_WIN32)
    const char* name = "Stats.dll";
#else
    const char* name = "libStats.so";
#endif
    const std::string dir = host::programDirectory();
    return dir.empty() ? std::string(name) : (std::filesystem::path(dir) / name).string();
}

bool PluginSession::load(const PluginChoice& choice, std::string* error)
{
    path_ = choice.path.empty() ? defaultPluginPath() : choice.path;
    // Absolute, so that changing into the work folder later cannot change its meaning.
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path_, ignored);
    if (!absolute.empty())
        path_ = absolute.string();
    const auto names = choice.decorated ? host::NameKind::Decorated : host::NameKind::Plain;
    std::string why;
    if (!host_.load(path_, names, &why)) {
        *error = "cannot use the plug-in " + path_ + ": " + why;
        return false;
    }
    setTourClock_ = reinterpret_cast<host::SetTourClockFn>(host_.library().find(host::kSetTourClock));
    return true;
}

int PluginSession::reset(bool reportRequested, const ContestRun& run)
{
    return host_.reset(reportRequested ? 1 : 0, run.ownCall, run.start, run.end, run.listFilter);
}

int PluginSession::add(const host::Qso& qso) { return host_.add(qso); }

int PluginSession::check(const host::Qso& qso, std::string* message)
{
    return host_.check(qso.call, qso.mode, qso.band, message);
}

std::string PluginSession::result(int* score) { return host_.result(score); }

bool PluginSession::setTourClock(const COleDateTime* utc)
{
    if (!setTourClock_)
        return false;
    COleDateTime copy = utc ? *utc : COleDateTime{};
    return setTourClock_(utc ? &copy : nullptr) == 1;
}

bool enterWorkFolder(const std::string& workdir, std::string* error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir = workdir.empty() ? fs::current_path(ec) : fs::path(workdir);
    // A mistyped --workdir must not quietly become a new folder full of settings.
    const bool existed = fs::exists(dir, ec);
    fs::create_directories(dir / "Plugins", ec);
    if (ec) {
        *error = "cannot create " + (dir / "Plugins").string() + ": " + ec.message();
        return false;
    }
    if (!existed)
        std::fprintf(stderr, "korvane: note: %s did not exist and was created\n", dir.string().c_str());
    fs::current_path(dir, ec);
    if (ec) {
        *error = "cannot enter " + dir.string() + ": " + ec.message();
        return false;
    }
    return true;
}

bool openWithTourClock(PluginSession& plugin, const PluginChoice& choice,
                       const std::string& workdir, std::string* error)
{
    if (!plugin.load(choice, error) || !enterWorkFolder(workdir, error))
        return false;
    // Without it every QSO would be checked at the time of the run, not its own.
    if (!plugin.hasTourClock()) {
        *error = plugin.path() + " has no " + host::kSetTourClock +
                 " export: it cannot check a log at the QSOs' own times";
        return false;
    }
    return true;
}

bool keepWindowClosed()
{
    return platform::profile::write(settings::kFile, settings::kSection, settings::key::kStart, "1");
}

} // namespace korvane
