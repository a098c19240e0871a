#pragma once
// Reading a log file whole and choosing its reader by content, never by the file name.

#include "tools/logs/AdifReader.h"
#include "tools/logs/LogQso.h"

#include <string>
#include <string_view>

namespace korvane {

// Cabrillo when the first line that is not blank starts with START-OF-LOG:, ADIF when
// the text holds <EOH> or starts with a data specifier; Unknown otherwise.
LogFormat detectFormat(std::string_view text);

struct LogFileResult {
    bool ok = false;
    std::string error; // why the file cannot be read as a log at all
    ReadLog log;
};

// The log path that stands for standard input.
inline constexpr const char* kStandardInput = "-";

// Fails (with a readable reason) for a file that cannot be opened, a folder, is empty, is too
// large, holds NUL bytes or is in neither format, and when adif.exchangeField is given
// for a Cabrillo log or names fields that no QSO read has a value in. A file that reads
// but holds no usable QSO is not a failure here: log.qsos is empty and log.problems says why.
// kStandardInput reads standard input to its end, within the same size limit.
LogFileResult readLogFile(const std::string& path, const AdifOptions& adif = {});

// The same for text already in memory.
LogFileResult readLogText(std::string_view text, const AdifOptions& adif = {}, const ReadLimits& limits = {});

} // namespace korvane
