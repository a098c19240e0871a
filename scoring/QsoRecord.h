#pragma once
// One QSO as the host added it. Every text is an owned copy.

#include "contract/OleDateTime.h"

#include <cstdint>
#include <string>

struct QsoRecord {
    std::string call;
    std::string band;
    std::string mode;
    std::string rstReceived;
    std::string rstSent;
    std::string exchReceived;
    std::string exchSent;
    // What the summary counts as a new call; in this contest the worked call itself,
    // kept apart so that the scoring rule reads it by its own name.
    std::string multiplierKey;
    // The host's date value is packed to 4 bytes; first after the texts, its day number
    // still falls on an 8-byte boundary.
    COleDateTime qsoTime;
    std::int32_t freqKHz = 0;
};
