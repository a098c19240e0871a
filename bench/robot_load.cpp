// `korvane robot` under load, measured from outside over the loopback: a simulated
// contest's logs uploaded through the JSON API by many clients at once, as before a
// deadline. Prints the time the server takes for one large log, the latency (p50, p99)
// and uploads per second under load, and then checks through the committee's API that
// every receipt is stored with the SHA-256 and the bytes that were sent.
// Not part of ctest: it takes a minute or more on two cores.
//
//   robot_load [--korvane PATH] [--data DIR] [--logs N] [--clients N] [--qsos N]
//              [--big-qsos N] [--big-runs N] [--port N --token TOKEN]
//
// Without --port it creates a fresh data folder (or uses --data, which must not hold a
// database), starts korvane robot on a free port and stops it at the end. With --port it
// measures the robot already running there, whose committee token --token gives; each
// log comes from an address of its own in X-Forwarded-For, which that robot must trust
// (--behind-proxy) or its limit of uploads per address refuses most of them.
#include "LargeLog.h"
#include "RobotProcess.h"
#include "RobotUploads.h"

#include "tools/judge/Simulation.h"

#include "contract/OleDateTime.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace korvane::judge;
namespace fs = std::filesystem;

namespace {

struct Options {
    std::string korvane, data, token;
    int port = 0;
    unsigned logs = 2000, clients = 50, bigRuns = 5;
    double qsos = 300, bigQsos = 5000;
};

bool parse(int argc, char** argv, Options* o)
{
    std::error_code ec;
    o->korvane = (fs::read_symlink("/proc/self/exe", ec).parent_path() / "korvane").string();
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* value = argv[++i];
        if (name == "--korvane")
            o->korvane = value;
        else if (name == "--data")
            o->data = value;
        else if (name == "--token")
            o->token = value;
        else if (name == "--port")
            o->port = std::atoi(value);
        else if (name == "--logs")
            o->logs = static_cast<unsigned>(std::atoi(value));
        else if (name == "--clients")
            o->clients = static_cast<unsigned>(std::atoi(value));
        else if (name == "--big-runs")
            o->bigRuns = static_cast<unsigned>(std::atoi(value));
        else if (name == "--qsos")
            o->qsos = std::atof(value);
        else if (name == "--big-qsos")
            o->bigQsos = std::atof(value);
        else
            return false;
    }
    return o->logs > 0 && o->clients > 0 && o->bigRuns > 0 && (o->port == 0 || !o->token.empty());
}

// The KORVANE period, with `count` logs of about `qsos` QSO lines each (at least, when
// the simulation makes fewer logs than asked).
std::vector<std::string> simulatedLogs(unsigned count, double qsos, std::uint64_t seed)
{
    SimulationOptions o;
    o.stations = static_cast<unsigned>(count / 0.8) + 2; // some stations send no log
    o.qsosPerLog = qsos;
    o.seed = seed;
    o.start = *minuteOf(makeOleDate(2026, 11, 21, 15, 0, 0));
    o.end = *minuteOf(makeOleDate(2026, 11, 21, 18, 0, 0));
    std::vector<std::string> logs;
    for (SimulatedLog& log : simulateContest(o).logs)
        logs.push_back(std::move(log.text));
    if (logs.size() > count)
        logs.resize(count);
    return logs;
}

// The same log with a header line that makes its bytes differ, so that each upload is
// checked and receipted anew instead of answered with the earlier receipt.
std::string variant(const std::string& log, unsigned n)
{
    const std::size_t end = log.find('\n');
    if (end == std::string::npos)
        return log;
    const bool crlf = end > 0 && log[end - 1] == '\r';
    return log.substr(0, end + 1) + "SOAPBOX: timing run " + std::to_string(n) + (crlf ? "\r\n" : "\n") +
           log.substr(end + 1);
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

const char* verdict(bool met) { return met ? "met" : "NOT met"; }

// One log of bigQsos QSO lines, uploaded bigRuns times in different bytes one after
// another on a quiet server. True when the median is within the target.
bool timeLargeLog(const Options& o, const std::vector<std::string>& logs, const bench::RobotProcess& robot)
{
    const std::string large = bench::largeLog(logs, static_cast<std::size_t>(o.bigQsos));
    if (large.empty()) {
        std::fprintf(stderr, "robot_load: the simulated logs hold fewer than %.0f QSO lines\n", o.bigQsos);
        return false;
    }
    std::vector<double> ms;
    const double cpuBefore = robot.cpuSeconds();
    for (unsigned run = 0; run < o.bigRuns; ++run) {
        const bench::UploadResult r = bench::uploadLog(o.port, variant(large, run));
        if (r.receiptId.empty()) {
            std::fprintf(stderr, "robot_load: the large log was not receipted: HTTP %d %s %s\n", r.status,
                         r.outcome.c_str(), r.message.c_str());
            return false;
        }
        ms.push_back(r.seconds * 1000);
    }
    const double median = percentile(ms, 0.5);
    std::printf("One log of %zu QSO lines (%.0f kB), %u uploads one after another: median %.1f ms, "
                "max %.1f ms (target <= 100 ms: %s)\n",
                bench::qsoLines(large), static_cast<double>(large.size()) / 1024, o.bigRuns, median,
                *std::max_element(ms.begin(), ms.end()), verdict(median <= 100));
    if (cpuBefore >= 0)
        std::printf("  the server's CPU time: %.1f ms per upload\n",
                    (robot.cpuSeconds() - cpuBefore) * 1000 / o.bigRuns);
    return median <= 100;
}

// The load run and the check of its receipts; false when a receipt is not stored intact
// or an upload got no answer.
bool loadRun(const Options& o, const std::vector<std::string>& logs, const bench::RobotProcess& robot)
{
    std::size_t lines = 0;
    for (const std::string& log : logs)
        lines += bench::qsoLines(log);
    std::printf("Load: %zu simulated logs (mean %.0f QSO lines), %u clients at once\n", logs.size(),
                static_cast<double>(lines) / static_cast<double>(logs.size()), o.clients);

    double seconds = 0;
    const double cpuBefore = robot.cpuSeconds();
    const std::vector<bench::UploadResult> results = bench::uploadAll(o.port, logs, o.clients, true, &seconds);
    const double cpu = robot.cpuSeconds() - cpuBefore;
    std::vector<double> ms;
    std::map<std::string, std::size_t> answers;
    std::size_t receipted = 0, unanswered = 0;
    std::string firstTrouble;
    for (const bench::UploadResult& r : results) {
        unanswered += r.status == 0;
        ms.push_back(r.seconds * 1000);
        ++answers[std::to_string(r.status) + " " + (r.outcome.empty() ? "(no answer)" : r.outcome)];
        if (!r.receiptId.empty())
            ++receipted;
        else if (firstTrouble.empty())
            firstTrouble = r.message + " (after " + std::to_string(static_cast<int>(r.seconds * 1000)) + " ms)";
    }
    const double rate = static_cast<double>(logs.size()) / seconds;
    std::printf("  %zu uploads in %.1f s: %.1f uploads/s (target >= 50/s: %s)\n", logs.size(), seconds, rate,
                verdict(rate >= 50));
    std::printf("  latency p50 %.1f ms, p99 %.1f ms, max %.1f ms\n", percentile(ms, 0.5), percentile(ms, 0.99),
                percentile(ms, 1.0));
    if (cpuBefore >= 0)
        std::printf("  the server's CPU time: %.1f ms per upload (%.0f uploads/s for each core it had)\n",
                    cpu * 1000 / static_cast<double>(logs.size()), static_cast<double>(logs.size()) / cpu);
    for (const auto& [answer, n] : answers)
        std::printf("  HTTP %s: %zu\n", answer.c_str(), n);
    if (!firstTrouble.empty())
        std::printf("  first upload without a receipt: %s\n", firstTrouble.c_str());

    std::vector<std::string> faults;
    std::size_t stored = 0;
    const std::size_t intact = bench::verifyReceipts(o.port, o.token, logs, results, &stored, &faults);
    std::printf("Receipts: %zu of %zu found in the database with the SHA-256 and the bytes sent "
                "(%zu submissions stored in all, the large log's included)\n",
                intact, receipted, stored);
    for (const std::string& f : faults)
        std::printf("  FAULT: %s\n", f.c_str());
    // An upload the robot never answered is not lost (its sender has no receipt and sends
    // again), but an entrant before the deadline would not call that a working robot.
    if (unanswered)
        std::printf("  FAULT: %zu uploads got no answer at all\n", unanswered);
    return intact == receipted && receipted > 0 && unanswered == 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!parse(argc, argv, &o)) {
        std::fprintf(stderr, "usage: robot_load [--korvane PATH] [--data DIR] [--logs N] [--clients N] "
                             "[--qsos N] [--big-qsos N] [--big-runs N] [--port N --token TOKEN]\n");
        return 2;
    }
    bench::RobotProcess robot;
    fs::path made;
    if (o.port == 0) {
        if (o.data.empty()) {
            char folder[] = "/tmp/robot_load.XXXXXX";
            if (!mkdtemp(folder)) {
                std::perror("robot_load: mkdtemp");
                return 1;
            }
            made = folder;
            o.data = (made / "data").string();
        }
        std::string error;
        if (!bench::initRobot(o.korvane, o.data, &o.token, &error) || !robot.start(o.korvane, o.data, &error)) {
            std::fprintf(stderr, "robot_load: %s\n", error.c_str());
            return 1;
        }
        o.port = robot.port();
        std::printf("korvane robot (pid %d) on port %d, data in %s\n", static_cast<int>(robot.pid()), o.port,
                    o.data.c_str());
    }
    const std::vector<std::string> logs = simulatedLogs(o.logs, o.qsos, 2026);
    const bool fast = timeLargeLog(o, logs, robot);
    const bool intact = loadRun(o, logs, robot);
    robot.stop();
    if (!made.empty()) {
        std::error_code ec;
        fs::remove_all(made, ec);
    }
    if (!fast)
        std::printf("The large log took longer than the target.\n");
    return intact ? 0 : 1;
}
