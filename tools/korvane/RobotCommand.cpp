// korvane robot: serves the contest's log robot until SIGINT or SIGTERM, creates its
// database (init) or copies it while it runs (backup).
#include "tools/korvane/Commands.h"

#include "tools/korvane/PathArgument.h"
#include "tools/korvane/SharedOptions.h"

#include <CLI/CLI.hpp>

#include <cstdio>

#if !defined(_WIN32)
#include "tools/judge/ContestDefinitionFile.h"
#include "tools/robot/Robot.h"
#include "tools/robot/RobotServer.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#endif

namespace korvane {

void addRobotCommand(CLI::App& app, RobotOptions& o)
{
    o.command = app.add_subcommand(
        "robot", "The contest's log robot: a web server where entrants upload logs and get a receipt, "
                 "and the committee judges and publishes (init: create the database; backup: copy it)");
    o.command->add_option("--data", o.dataDir, "The robot's data folder (its database and files)")
        ->required()
        ->transform(systemPathArgument);
    o.command->add_option("--contest", o.contest, "The contest's definition, an INI file (default: KORVANE)")
        ->transform(systemPathArgument);
    o.command->add_option("--listen", o.listen, "HOST:PORT to serve on; port 0 picks a free one")
        ->capture_default_str();
    addPluginOptions(*o.command, o.plugin, "Look the exports up by their decorated names");
    o.command->add_option("--uploads-per-minute", o.uploadsPerMinute, "Uploads one client address may send a minute (0: no limit)")
        ->capture_default_str();
    o.command->add_flag("--behind-proxy", o.behindProxy,
                        "Behind a reverse proxy: the client is the last X-Forwarded-For address, TLS as "
                        "X-Forwarded-Proto says");
    o.command->add_option("--threads", o.threads, "Requests served at once")
        ->capture_default_str()
        ->check(CLI::Range(1, 256));
    o.init = o.command->add_subcommand("init", "Create the database and print the committee's token, once");
    o.init->fallthrough();
    o.backup = o.command->add_subcommand("backup", "Copy the database, consistent, while the robot runs");
    o.backup->add_option("--to", o.backupTo, "The copy's file")->required()->transform(systemPathArgument);
    o.backup->fallthrough();
}

#if defined(_WIN32)

int runRobot(const RobotOptions&)
{
    std::fprintf(stderr, "korvane: the robot is not available on Windows; run it on Linux\n");
    return kExitFailed;
}

#else

namespace {

// "127.0.0.1:8080", "[::1]:8080"; false when it is neither.
bool splitListen(const std::string& text, std::string& host, int& port)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size())
        return false;
    host = text.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const std::string digits = text.substr(colon + 1);
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    port = std::stoi(digits);
    return port <= 65535;
}

bool openRobot(robot::Robot& robot, const RobotOptions& o)
{
    robot::RobotConfig config;
    config.dataDir = o.dataDir;
    config.plugin = o.plugin;
    config.contest = judge::korvaneContest();
    std::string error;
    if (!o.contest.empty() && !judge::loadContestDefinition(o.contest, config.contest, &error)) {
        std::fprintf(stderr, "korvane: %s: %s\n", o.contest.c_str(), error.c_str());
        return false;
    }
    if (!robot.open(config, &error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return false;
    }
    return true;
}

int serve(const RobotOptions& o)
{
    std::string host;
    int port = 0;
    if (!splitListen(o.listen, host, port)) {
        std::fprintf(stderr, "korvane: --listen takes HOST:PORT, such as 127.0.0.1:8080: %s\n", o.listen.c_str());
        return kExitUsage;
    }
    // Blocked before any thread starts, so that every thread inherits the mask and only
    // the waiting thread below takes the signals.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // The first start makes the database, as init does, so that one command starts a new
    // robot; the token is shown this once. A folder with a database is left as it is.
    std::string token, ignored;
    if (robot::Robot::init(o.dataDir, &token, &ignored)) {
        std::printf("committee token: %s\n", token.c_str());
        std::fflush(stdout);
    }
    robot::Robot robot;
    if (!openRobot(robot, o))
        return kExitFailed;
    robot::ServerOptions options;
    options.uploadsPerMinute = o.uploadsPerMinute;
    options.behindProxy = o.behindProxy;
    options.threads = o.threads;
    robot::RobotServer server(robot, options);
    std::string error;
    if (!server.bind(host, port, &error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return kExitFailed;
    }
    const std::string shown = host.find(':') == std::string::npos ? host : "[" + host + "]";
    std::printf("korvane robot: listening on http://%s:%d\n", shown.c_str(), server.port());
    std::fflush(stdout);

    std::atomic<bool> served{false};
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        // A signal may come before serve() takes connections; stop() is then retried.
        while (!served.load()) {
            server.stop();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const bool ok = server.serve();
    served = true;
    kill(getpid(), SIGTERM); // wakes the waiting thread when serve() ended by itself
    stopper.join();
    std::printf("korvane robot: stopped\n");
    return ok ? kExitOk : kExitFailed;
}

} // namespace

int runRobot(const RobotOptions& o)
{
    std::string error;
    if (o.init->parsed()) {
        std::string token;
        if (!robot::Robot::init(o.dataDir, &token, &error)) {
            std::fprintf(stderr, "korvane: %s\n", error.c_str());
            return kExitFailed;
        }
        std::printf("committee token: %s\n", token.c_str());
        return kExitOk;
    }
    if (o.backup->parsed()) {
        std::error_code ec;
        const std::string to = std::filesystem::absolute(o.backupTo, ec).string();
        if (!robot::Robot::backup(o.dataDir, to, &error)) {
            std::fprintf(stderr, "korvane: %s\n", error.c_str());
            return kExitFailed;
        }
        std::printf("korvane robot: database copied to %s\n", to.c_str());
        return kExitOk;
    }
    return serve(o);
}

#endif

} // namespace korvane
