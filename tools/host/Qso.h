#pragma once
// One QSO in the host's terms, as the stand-in hosts pass it to AddData0 and RemoveData0.

#include "contract/OleDateTime.h"

#include <string>

namespace host {

struct Qso {
    std::string call, band, mode;
    std::string rstSent, rstReceived, exchSent, exchReceived;
    unsigned freqHz = 0;
    COleDateTime time;
};

} // namespace host
