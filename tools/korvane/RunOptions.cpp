#include "tools/korvane/RunOptions.h"

#include "tools/korvane/DateOption.h"

namespace korvane {
namespace {

bool dateOrDefault(const std::string& text, const char* option, const COleDateTime& fallback,
                   COleDateTime& out, std::string* error)
{
    if (text.empty()) {
        out = fallback;
        return true;
    }
    const auto date = parseDateOption(text);
    if (!date) {
        *error = std::string(option) + ": cannot read \"" + text + "\" as a UTC date and time";
        return false;
    }
    out = *date;
    return true;
}

} // namespace

bool resolveRun(const RunOptions& options, const ReadLog& log, ContestRun& run, std::string* error)
{
    run.ownCall = options.call.empty() ? log.ownCall : options.call;
    if (run.ownCall.empty()) {
        *error = "the log names no own callsign; give it with --call";
        return false;
    }
    COleDateTime first, last;
    first.status = last.status = kOleNull;
    for (const LogQso& q : log.qsos) {
        if (first.status != kOleValid || q.time.value < first.value)
            first = q.time;
        if (last.status != kOleValid || q.time.value > last.value)
            last = q.time;
    }
    run.listFilter = options.filter;
    return dateOrDefault(options.start, "--start", first, run.start, error) &&
           dateOrDefault(options.end, "--end", last, run.end, error);
}

} // namespace korvane
