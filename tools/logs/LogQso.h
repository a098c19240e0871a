#pragma once
// A log as the readers hand it to the commands: the QSOs in file order, already in the
// host's terms (band text, mode, hertz, UTC date-time), and what had to be skipped.

#include "contract/OleDateTime.h"
#include "tools/logs/CabrilloHeader.h"
#include "tools/host/Qso.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace korvane {

// The QSO as the host passes it, and where it stood in the file.
struct LogQso : host::Qso {
    std::size_t line = 0; // where the record starts, from 1
    // A frequency past what freqHz holds (4294.967295 MHz), in kilohertz: then freqHz is
    // 0 and the band stands. 0 for every other QSO.
    std::uint32_t kHzPastHost = 0;
};

struct LogProblem {
    std::size_t line = 0;
    std::string message;
    bool recordSkipped = true; // false: a remark on the file, nothing lost
};

enum class LogFormat { Unknown, Adif, Cabrillo };

// A reader of hostile text keeps at most problemsKept problems and counts the rest, so
// that a file of nothing but broken lines costs no more than the lines themselves.
struct ReadLimits {
    std::size_t problemsKept = std::numeric_limits<std::size_t>::max();
};

struct ReadLog {
    LogFormat format = LogFormat::Unknown;
    std::string ownCall; // header (Cabrillo) or station field (ADIF); may be empty
    std::vector<LogQso> qsos;
    std::vector<LogProblem> problems;
    std::size_t problemsLeftOut = 0, recordsLeftOut = 0; // past ReadLimits::problemsKept
    ReadLimits limits;
    std::vector<std::string> warnings; // on the log as a whole, not one line of it
    // Cabrillo: the header's CATEGORY-* lines, tag and value as written (upper case), the
    // first of each tag.
    std::vector<std::pair<std::string, std::string>> categories;
    CabrilloHeader header; // Cabrillo: every header line as read; ADIF: empty


    std::size_t skippedRecords() const;
    void addProblem(std::size_t line, std::string message, bool recordSkipped);
};

const char* formatName(LogFormat format);

} // namespace korvane
