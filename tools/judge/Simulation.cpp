#include "tools/judge/Simulation.h"

#include "tools/judge/SimulatedContest.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace korvane::judge {
namespace {

std::string fileNameOf(const std::string& call)
{
    std::string name = call;
    std::replace(name.begin(), name.end(), '/', '-');
    return name + ".cbr";
}

} // namespace

Simulation simulateContest(const SimulationOptions& options)
{
    simulated::SimulatedContest contest(options);
    simulated::makeStations(contest);
    simulated::scheduleQsos(contest);
    simulated::putInErrors(contest);
    simulated::numberSerials(contest);
    simulated::copyCalls(contest);
    return simulated::writeLogs(contest);
}

bool writeSimulation(const Simulation& simulation, const SimulationOptions& options,
                     const std::string& dir, std::string* error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path logs = fs::path(dir) / "logs";
    fs::create_directories(logs, ec);
    if (ec) {
        *error = "cannot create " + logs.string() + ": " + ec.message();
        return false;
    }
    for (const SimulatedLog& log : simulation.logs) {
        const fs::path path = logs / fileNameOf(log.call);
        std::ofstream out(path, std::ios::binary);
        out << log.text;
        if (!out.flush()) {
            *error = "cannot write " + path.string();
            return false;
        }
    }
    return writeTruth(simulation, options, (fs::path(dir) / "truth.txt").string(), error);
}

} // namespace korvane::judge
