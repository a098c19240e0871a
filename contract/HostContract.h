#pragma once
// The whole contract between the host logging program and the plug-in: the calling
// convention, the argument lists of every export, and both names of each export.
// Positions are counted from 1 as the host documents them; positions the plug-in does
// not use are still declared, so that the stack layout matches the host's call.

#include "contract/OleDateTime.h"

#if defined(_WIN32)
#define STATS_CALL __cdecl
#else
#define STATS_CALL
#endif

namespace host {

using Text = const char*;
using Date = COleDateTime*;

// AddData0 and RemoveData0: 2 call, 3 QSO time, 8 frequency in Hz, 9 mode,
// 10 RST sent, 11 RST received, 12 exchange sent, 13 exchange received, 32 band.
using QsoDataFn = int(STATS_CALL*)(
    Text, Text, Date, Date, Date, Date, unsigned, unsigned,                     // 1-8
    Text, Text, Text, Text, Text, Text, Text, Text, Text, Text, Text, Text,     // 9-20
    Text, Text, Text, int, int, int, double, double,                            // 21-28
    Text, Text, Text, Text, Text);                                              // 29-33

// ResetStats0: 2 report request, 3 own call, 4 contest start, 5 contest end,
// 10 list filter (first two bytes).
using ResetStatsFn = int(STATS_CALL*)(
    Text, int, Text, Date, Date, Text, Text, Text, Text, Text,                  // 1-10
    Text, Text, Text, Text, Text, int, int, int, double, double,                // 11-20
    Text, Text, Text);                                                          // 21-23

// CheckCall0: 1 call, 4 mode, 25 band, 28 message buffer.
using CheckCallFn = int(STATS_CALL*)(
    Text, unsigned, unsigned, Text, Text, Text, Text, Text, Text, Text,         // 1-10
    Text, Text, Text, Text, int, int, int, double, double, Text,                // 11-20
    Text, Text, Text, Text, Text, Text, char*, char*);                          // 21-28

using GetResultFn = Text(STATS_CALL*)(int*);
using GetNumberOfSetsFn = int(STATS_CALL*)();
using GetSetNameFn = Text(STATS_CALL*)(int);
using SetupSetFn = void(STATS_CALL*)();
using GetExchgCountFn = int(STATS_CALL*)(Text, Text, Text);
using IsValidExchgFn = int(STATS_CALL*)(Text, Text, Text, Text, int, int, int);

struct ExportName {
    const char* plain;
    const char* decorated;
};

inline constexpr ExportName kAddData{"AddData0",
    "?AddData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z"};
inline constexpr ExportName kRemoveData{"RemoveData0",
    "?RemoveData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z"};
inline constexpr ExportName kResetStats{"ResetStats0",
    "?ResetStats0@@YAHPBDH0PAVCOleDateTime@@10000000000HHHNN000@Z"};
inline constexpr ExportName kCheckCall{"CheckCall0",
    "?CheckCallFunc0@@YAHPBDII00000000000HHHNN0000000PAD1@Z"};
inline constexpr ExportName kGetResult{"GetResult0", "?GetResult0@@YAPBDPAH@Z"};
inline constexpr ExportName kGetNumberOfSets{"GetNumberOfSets", "?GetNumberOfSets@@YAHXZ"};
inline constexpr ExportName kGetSetName{"GetSetName", "?GetSetName@@YAPBDH@Z"};
inline constexpr ExportName kSetupSet{"SetupSet0", "?SetupSet0@@YAXXZ"};
inline constexpr ExportName kGetExchgCount{"GetExchgCount0", "?StatsGetExchgCount0@@YAHPBD00@Z"};
inline constexpr ExportName kIsValidExchg{"IsValidExchg0", "?StatsIsValidExchg0@@YAHPBD000HHH@Z"};

inline constexpr ExportName kAllExports[] = {
    kAddData, kRemoveData, kResetStats, kCheckCall, kGetResult,
    kGetNumberOfSets, kGetSetName, kSetupSet, kGetExchgCount, kIsValidExchg,
};

// SetTourClock0, for stand-in hosts only; the real host never calls it, and it is not
// among the twenty names above. A valid date (UTC) becomes the time the tour check of
// CheckCall0 reads as now; a null pointer returns it to the system clock. 1 when taken;
// 0, changing nothing, for a date that is not valid. Nothing else reads this clock.
// Exported under its plain name only.
using SetTourClockFn = int(STATS_CALL*)(Date);
inline constexpr const char* kSetTourClock = "SetTourClock0";

} // namespace host
