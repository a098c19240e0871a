// truth.txt: what a simulated contest holds, one record a line, for the judge's accuracy
// count and for people.
#include "tools/judge/Simulation.h"

#include <fstream>
#include <optional>
#include <sstream>

namespace korvane::judge {
namespace {

void writeRecords(std::ostream& out, const Simulation& simulation, const SimulationOptions& options)
{
    const Truth& truth = simulation.truth;
    out << "# korvane simulate: seed " << options.seed << ", " << options.stations << " stations\n";
    out << "# line CALL LINE FINDING: what the judge should find in that line of CALL's log;\n"
           "# clock CALL MINUTES: that station's clock was fast by so many minutes (slow if negative);\n"
           "# both CALL LINE CALL LINE: one QSO with an error on each side, each judged on its own;\n"
           "# suffixed CALL: signs with a suffix its partners copy with or without\n";
    out << "period " << formatMinute(options.start, "%Y-%m-%d %H:%M") << " "
        << formatMinute(options.end, "%Y-%m-%d %H:%M") << "\n";
    out << "logs " << truth.logs << "\nqsos " << truth.qsoLines << "\n";
    for (const std::string& call : simulation.silent)
        out << "silent " << call << "\n";
    for (const auto& [call, minutes] : truth.clockOffsets)
        out << "clock " << call << " " << minutes << "\n";
    for (const std::string& call : truth.suffixed)
        out << "suffixed " << call << "\n";
    for (const auto& [a, b] : truth.bothSides)
        out << "both " << a.first << " " << a.second << " " << b.first << " " << b.second << "\n";
    for (const auto& [where, finding] : truth.lines)
        out << "line " << where.first << " " << where.second << " " << findingKey(finding) << "\n";
}

// One record into truth; false with a reason for a finding no kind has.
bool readRecord(std::istringstream& words, Truth& truth, std::string* error)
{
    std::string kind, call, finding;
    words >> kind;
    if (kind == "logs") {
        words >> truth.logs;
    } else if (kind == "qsos") {
        words >> truth.qsoLines;
    } else if (kind == "clock") {
        int minutes = 0;
        words >> call >> minutes;
        truth.clockOffsets[call] = minutes;
    } else if (kind == "suffixed") {
        words >> call;
        truth.suffixed.insert(call);
    } else if (kind == "both") {
        Truth::LineRef a, b;
        words >> a.first >> a.second >> b.first >> b.second;
        truth.bothSides.push_back({a, b});
    } else if (kind == "line") {
        std::uint32_t line = 0;
        words >> call >> line >> finding;
        const std::optional<Finding> known = findingFromKey(finding);
        if (!known) {
            *error = "unknown finding " + finding;
            return false;
        }
        truth.lines[{call, line}] = *known;
    }
    return true;
}

} // namespace

bool writeTruth(const Simulation& simulation, const SimulationOptions& options, const std::string& path,
                std::string* error)
{
    std::ofstream out(path, std::ios::binary);
    writeRecords(out, simulation, options);
    if (!out.flush()) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool readTruth(const std::string& path, Truth& truth, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot open " + path;
        return false;
    }
    std::string text;
    std::size_t number = 0;
    while (std::getline(in, text)) {
        ++number;
        std::istringstream words(text);
        if (!readRecord(words, truth, error)) {
            *error = path + ":" + std::to_string(number) + ": " + *error;
            return false;
        }
    }
    return true;
}

} // namespace korvane::judge
