#pragma once
// Everything one loaded plug-in keeps between the host's calls, and the work behind
// each entry point: the composition root of the log, the bands, the contest, the report
// and the multiplier window. The exports forward here with their arguments already made
// safe (null texts read as empty, null dates as null).

#include "cabrillo/CabrilloReport.h"
#include "platform/Platform.h"
#include "scoring/BandList.h"
#include "scoring/ContestState.h"
#include "scoring/QsoLog.h"
#include "window/MultiplierList.h"
#include "window/WindowHost.h"

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

    // The library is being unloaded, before any process-wide object goes: the window
    // closes and its thread leaves the library's code. processTerminating: the process is
    // ending and the system has already stopped the other threads, so the window is only
    // forgotten: nothing waits, nothing of it is touched.
    void unloading(bool processTerminating);

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

public:
    // Declared last, so destroyed first: the window closes, and its thread is gone,
    // before the list it shows and the rest go.
    WindowHost window{multipliers};
};

// The plug-in's one application object, from library load to unload.
PluginApp& pluginApp();
