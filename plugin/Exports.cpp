// The exported entry points. Each one makes its arguments safe (a null text reads as
// empty, a null date as a null date) and forwards to the application object; no exception
// leaves.
#include "contract/HostContract.h"
#include "platform/Platform.h"
#include "plugin/PluginApp.h"

#include <string>
#include <type_traits>

#if defined(_WIN32)
#define STATS_EXPORT // exported under both names by Stats.def
#else
#define STATS_EXPORT __attribute__((visibility("default")))
#endif

using host::Date;
using host::Text;

namespace {

std::string text(Text p) { return p ? std::string(p) : std::string(); }

QsoRecord makeRecord(Text call, Date qsoTime, unsigned freqHz, Text mode, Text rstSent,
                     Text rstReceived, Text exchSent, Text exchReceived, Text band)
{
    // Built in place: one add per QSO of a replayed log, and every text is copied once.
    QsoRecord r{text(call),         text(band),     text(mode),
                text(rstReceived),  text(rstSent),  text(exchReceived),
                text(exchSent),     std::string(),  copyOleDate(qsoTime),
                static_cast<std::int32_t>(freqHz / 1000)};
    r.multiplierKey = r.call;
    return r;
}

const char kEmpty[] = "";

} // namespace

extern "C" {

STATS_EXPORT int STATS_CALL AddData0(
    Text, Text call, Date qsoTime, Date, Date, Date, unsigned, unsigned freqHz,
    Text mode, Text rstSent, Text rstReceived, Text exchSent, Text exchReceived,
    Text, Text, Text, Text, Text, Text, Text, Text, Text, Text, int, int, int, double, double,
    Text, Text, Text, Text band, Text)
{
    try {
        return pluginApp().addData(makeRecord(call, qsoTime, freqHz, mode, rstSent, rstReceived,
                                              exchSent, exchReceived, band));
    } catch (...) {
        return 1;
    }
}

STATS_EXPORT int STATS_CALL RemoveData0(
    Text, Text call, Date, Date, Date, Date, unsigned, unsigned,
    Text mode, Text, Text, Text exchSent, Text exchReceived,
    Text, Text, Text, Text, Text, Text, Text, Text, Text, Text, int, int, int, double, double,
    Text, Text, Text, Text band, Text)
{
    try {
        return pluginApp().removeData(text(call), text(mode), text(band), text(exchSent),
                                      text(exchReceived));
    } catch (...) {
        return 1;
    }
}

STATS_EXPORT int STATS_CALL ResetStats0(
    Text, int reportRequested, Text ownCall, Date start, Date end, Text, Text, Text, Text,
    Text listFilter, Text, Text, Text, Text, Text, int, int, int, double, double,
    Text, Text, Text)
{
    try {
        return pluginApp().resetStats(reportRequested, text(ownCall), copyOleDate(start),
                                      copyOleDate(end), text(listFilter));
    } catch (...) {
        return 1;
    }
}

STATS_EXPORT int STATS_CALL CheckCall0(
    Text call, unsigned, unsigned, Text mode, Text, Text, Text, Text, Text, Text,
    Text, Text, Text, Text, int, int, int, double, double, Text,
    Text, Text, Text, Text, Text band, Text, char*, char* messageBuffer)
{
    try {
        return pluginApp().checkCall(text(call), text(mode), text(band), messageBuffer);
    } catch (...) {
        return 2;
    }
}

STATS_EXPORT Text STATS_CALL GetResult0(int* scoreOut)
{
    try {
        return pluginApp().getResult(scoreOut);
    } catch (...) {
        return kEmpty;
    }
}

STATS_EXPORT int STATS_CALL GetNumberOfSets() { return 1; }

STATS_EXPORT Text STATS_CALL GetSetName(int index)
{
    return index == 0 ? "KORVANE (C)" : kEmpty;
}

STATS_EXPORT void STATS_CALL SetupSet0()
{
    platform::ops().messageBox("No additional setup for this contest", nullptr,
                               platform::BoxIcon::None, false);
}

STATS_EXPORT int STATS_CALL GetExchgCount0(Text, Text, Text) { return 1; }

STATS_EXPORT int STATS_CALL IsValidExchg0(Text, Text, Text, Text, int, int, int) { return 0; }

STATS_EXPORT int STATS_CALL SetTourClock0(Date utc)
{
    if (!utc) {
        pluginApp().tourClock.reset();
        return 1;
    }
    CivilDateTime t;
    if (!breakDown(copyOleDate(utc), t))
        return 0;
    pluginApp().tourClock = t;
    return 1;
}

} // extern "C"

// The host calls through these exact types; a drifting parameter list fails here.
static_assert(std::is_same_v<decltype(&AddData0), host::QsoDataFn>);
static_assert(std::is_same_v<decltype(&RemoveData0), host::QsoDataFn>);
static_assert(std::is_same_v<decltype(&ResetStats0), host::ResetStatsFn>);
static_assert(std::is_same_v<decltype(&CheckCall0), host::CheckCallFn>);
static_assert(std::is_same_v<decltype(&GetResult0), host::GetResultFn>);
static_assert(std::is_same_v<decltype(&GetNumberOfSets), host::GetNumberOfSetsFn>);
static_assert(std::is_same_v<decltype(&GetSetName), host::GetSetNameFn>);
static_assert(std::is_same_v<decltype(&SetupSet0), host::SetupSetFn>);
static_assert(std::is_same_v<decltype(&GetExchgCount0), host::GetExchgCountFn>);
static_assert(std::is_same_v<decltype(&IsValidExchg0), host::IsValidExchgFn>);
static_assert(std::is_same_v<decltype(&SetTourClock0), host::SetTourClockFn>);
