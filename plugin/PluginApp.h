#pragma once
// Everything one loaded plug-in keeps between the host's calls, and the work behind
// each entry point. The exports forward here with their arguments already made safe
// (null texts read as empty, null dates as null).

#include "cabrillo/CabrilloReport.h"
#include "scoring/BandList.h"
#include "scoring/ContestState.h"
#include "window/MultiplierList.h"
#include "scoring/QsoLog.h"

#include "platform/Platform.h"

#include <cstdint>
#include <optional>
#include <vector>
#include <string>

class PluginApp {
public:
    // Always 1.
    int addData(QsoRecord record);

    // 0 (nothing looked at) when either exchange is empty, else 1, found or not.
    int removeData(const std::string& call, const std::string& mode, const std::string& band,
                   const std::string& exchSent, const std::string& exchReceived);

    // Starts a new run; always 1. listFilterSource: its first two bytes are kept.
    int resetStats(int reportRequested, const std::string& ownCall, const COleDateTime& start,
                   const COleDateTime& end, const std::string& listFilterSource);

    // 0 refused (message written when messageBuffer is not null), 1 worked before, 2 new.
    int checkCall(const std::string& call, const std::string& mode, const std::string& band,
                  char* messageBuffer);

    // The summary text, valid until the next call; the score (or -1 after a report)
    // goes through scoreOut when it is not null.
    const char* getResult(int* scoreOut);

    // The time the tour check takes as now; empty for the system clock. Only stand-in
    // hosts that replay a finished log set it, so that each QSO is checked at its own time.
    std::optional<CivilDateTime> tourClock;

    QsoLog log;
    BandList bands;
    ContestState state;
    MultiplierList multipliers;
    int score = 0;
    std::string summaryText;
    CabrilloReport report;

private:
    std::vector<std::uint32_t> shownKeyIds_; // what multipliers was last built from
    std::uint64_t shownEpoch_ = ~std::uint64_t{0};
};

// The plug-in's one application object, from library load to unload.
PluginApp& pluginApp();

namespace plugin {

// Library load: nothing starts, no window opens; the process-wide objects exist.
void onLoad();

// Library unload, before any process-wide object goes. processTerminating: the process
// is ending and the system has already stopped the other threads, so nothing waits.
void onUnload(bool processTerminating);

} // namespace plugin
