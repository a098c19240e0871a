// Any bytes as an upload to the log robot: the check must answer, tie every finding to a
// line the upload has, show no raw control character back to the entrant, and accept
// only a log that names a call and has no error.
#include "tools/judge/ContestDefinitionFile.h"
#include "tools/logs/CabrilloLayout.h"
#include "tools/robot/LogChecker.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using korvane::robot::CheckLine;
    static const korvane::judge::ContestDefinition contest = korvane::judge::korvaneContest();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const korvane::robot::CheckedLog checked = korvane::robot::checkLog(bytes, contest);
    const korvane::robot::LogCheck& c = checked.check;

    const std::size_t lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    bool anyError = false;
    for (const CheckLine& l : c.lines) {
        anyError |= l.level == CheckLine::Level::Error;
        if (l.line > lines || l.message.empty())
            std::abort();
        for (unsigned char ch : l.quoted)
            if (ch < 0x20 || ch == 0x7F)
                std::abort(); // a quoted line is shown escaped, never raw
    }
    if (c.accepted == anyError)
        std::abort();
    if (c.accepted && !korvane::cabrillo::looksLikeCall(c.call))
        std::abort();
    return 0;
}
