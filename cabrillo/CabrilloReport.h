#pragma once
// The Cabrillo report: the header fields the operator confirms, and the QSO lines
// of one report pass.
//
// Not built yet: setupHeader confirms nothing and writeLog writes nothing. The
// statistics reset and the summary already call them where the report belongs.

#include "scoring/OleDateTime.h"

#include <string>
#include <vector>

class CabrilloReport {
public:
    // Loads the header from the settings file and lets the operator confirm it.
    // 1 when confirmed with OK, else 0.
    int setupHeader(const std::string& ownCall, const COleDateTime& start,
                    const COleDateTime& end);

    void addQsoLine(const std::string& call, int freqKHz, const char* modeCode,
                    const COleDateTime& qsoTime, const std::string& rstSent,
                    const std::string& exchSent, const std::string& rstReceived,
                    const std::string& exchReceived);

    struct WriteOutcome {
        std::string text; // what the operator is told
        bool ok = true;
    };
    // Writes the file and empties the QSO lines.
    WriteOutcome writeLog(int claimedScore);

    std::vector<std::string> qsoLines;
};
