// korvane check: the log replayed as if live (LogReplay), every refusal listed.
#include "tools/korvane/Commands.h"
#include "tools/korvane/LogInput.h"
#include "tools/logs/LogReplay.h"
#include "tools/output/ScoreTable.h"

#include <cstdio>
#include <sstream>

namespace korvane {
namespace {

constexpr std::size_t kLineWidth = 100;

// Columns a UTF-8 text takes: one per character, not per byte.
std::size_t columns(const std::string& text)
{
    std::size_t n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

// One refusal: the QSO and the plug-in's message on one line when they fit, else the
// message on lines of its own below.
std::string refusalLines(const std::string& qso, const std::string& message)
{
    if (columns(qso) + 2 + columns(message) <= kLineWidth)
        return qso + "  " + message + "\n";
    std::istringstream in(message);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    // Byte widths: a Cyrillic message wraps early rather than late.
    return qso + "\n" + wrapped(words, kLineWidth, "      ");
}

} // namespace

int runCheck(const LogCommandOptions& options)
{
    LogInput input;
    if (int status = prepareLog(options, input); status != kExitOk)
        return status;
    PluginSession plugin;
    if (int status = openForReplay(options, plugin); status != kExitOk)
        return status;

    plugin.reset(false, input.run);
    std::size_t refused = 0, newCalls = 0, workedBefore = 0;
    std::string listing;
    replayLog(plugin, input.log.qsos, [&](const ReplayStep& step) {
        const LogQso& q = *step.qso;
        switch (step.verdict) {
        case kRefused:
            ++refused;
            listing += refusalLines("  QSO " + std::to_string(step.position) + " (line " +
                                        std::to_string(q.line) + "): " +
                                        formatOleDate(q.time, "%Y-%m-%d %H:%M") + "  " + q.call +
                                        "  " + q.band + " " + q.mode,
                                    step.message);
            break;
        case kWorkedBefore:
            ++workedBefore;
            break;
        default:
            ++newCalls;
            break;
        }
    });

    std::printf("Refused by the tour rule: %zu\n%s", refused, listing.c_str());
    std::printf("%zu QSOs checked: %zu refused, %zu new, %zu worked before\n",
                input.log.qsos.size(), refused, newCalls, workedBefore);
    std::fputs(readSummary(options, input).c_str(), stdout);
    return kExitOk;
}

} // namespace korvane
