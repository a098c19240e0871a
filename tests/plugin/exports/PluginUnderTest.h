#pragma once
// The built plug-in, loaded fresh for one test through the host stand-in.

#include "tools/host/StatsHost.h"

#include <doctest/doctest.h>

#include <chrono>
#include <cstdlib>
#include <string>

inline std::string pluginPath()
{
    const char* path = std::getenv("KORVANE_PLUGIN");
    return path ? path : "";
}

// The decorated names exist only in the Windows plug-in; elsewhere the plain ones stand in.
inline host::NameKind decoratedWhereAvailable()
{
#if defined(_WIN32)
    return host::NameKind::Decorated;
#else
    return host::NameKind::Plain;
#endif
}

class PluginUnderTest : public host::StatsHost {
public:
    explicit PluginUnderTest(host::NameKind names = host::NameKind::Plain)
    {
        std::string error;
        REQUIRE_MESSAGE(load(pluginPath(), names, &error), error);
    }
    ~PluginUnderTest() { unload(); }
};

// The contest the export tests reset the plug-in to.
inline const COleDateTime kStart = makeOleDate(2026, 12, 7, 10, 0, 0);
inline const COleDateTime kEnd = makeOleDate(2026, 12, 7, 12, 0, 0);

// Now, as the host's date-time value in UTC.
inline COleDateTime utcNowOle()
{
    using namespace std::chrono;
    const double seconds = duration<double>(system_clock::now().time_since_epoch()).count();
    COleDateTime d;
    d.value = seconds / 86400.0 + 25569.0;
    return d;
}

inline host::Qso makeQso(const char* call, const char* band, const char* mode, COleDateTime time,
                         const char* exchange = "001")
{
    host::Qso q;
    q.call = call;
    q.band = band;
    q.mode = mode;
    q.rstSent = "599";
    q.rstReceived = "579";
    q.exchSent = exchange;
    q.exchReceived = "042";
    q.freqHz = 3512345;
    q.time = time;
    return q;
}
