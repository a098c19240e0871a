// Any bytes as a log file: the readers must answer with QSOs or problems, never crash,
// and hand on only what the host could be given.
#include "tools/logs/LogFile.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const korvane::LogFileResult result = korvane::readLogText(text);
    if (!result.ok && result.error.empty())
        std::abort(); // a refusal must say why
    for (const korvane::LogQso& q : result.log.qsos) {
        if (q.line == 0 || q.call.find('\0') != std::string::npos ||
            q.band.find('\0') != std::string::npos)
            std::abort();
        if (q.time.status == kOleValid && !std::isfinite(q.time.value))
            std::abort();
    }
    return 0;
}
