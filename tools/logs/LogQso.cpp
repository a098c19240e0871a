#include "tools/logs/LogQso.h"

namespace korvane {

std::size_t ReadLog::skippedRecords() const
{
    std::size_t n = 0;
    for (const LogProblem& p : problems)
        n += p.recordSkipped ? 1 : 0;
    return n + recordsLeftOut;
}

void ReadLog::addProblem(std::size_t line, std::string message, bool recordSkipped)
{
    if (problems.size() < limits.problemsKept) {
        problems.push_back({line, std::move(message), recordSkipped});
        return;
    }
    ++problemsLeftOut;
    recordsLeftOut += recordSkipped ? 1 : 0;
}

const char* formatName(LogFormat format)
{
    switch (format) {
    case LogFormat::Adif:
        return "ADIF";
    case LogFormat::Cabrillo:
        return "Cabrillo";
    case LogFormat::Unknown:
        break;
    }
    return "unknown";
}

} // namespace korvane
