#include "tools/korvane/PluginSession.h"

#include "tools/host/ProgramLocation.h"

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

int PluginSession::add(const LogQso& qso) { return host_.add(qso); }

int PluginSession::check(const LogQso& qso, std::string* message)
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

} // namespace korvane
