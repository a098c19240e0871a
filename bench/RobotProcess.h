#pragma once
// `korvane robot` as a child process, for measuring it from outside: created on a data
// folder, started on a free loopback port, stopped by signal.

#include <string>
#include <thread>

#include <sys/types.h>

namespace bench {

// `korvane robot init --data DIR`: the committee token it prints once; false with a reason.
bool initRobot(const std::string& korvane, const std::string& dataDir, std::string* token, std::string* error);

class RobotProcess {
public:
    RobotProcess() = default;
    ~RobotProcess(); // stops the server if it still runs
    RobotProcess(const RobotProcess&) = delete;
    RobotProcess& operator=(const RobotProcess&) = delete;

    // Starts `korvane robot --data DIR --listen 127.0.0.1:0 --behind-proxy` and waits (up
    // to 60 s) for the line that gives its port. Behind a proxy it takes the client's
    // address from X-Forwarded-For, so that each simulated entrant has its own.
    bool start(const std::string& korvane, const std::string& dataDir, std::string* error);
    int port() const { return port_; }
    pid_t pid() const { return pid_; }
    // The CPU time the server has used so far (user and system, all threads); -1 when
    // it is not running.
    double cpuSeconds() const;
    // SIGTERM, then SIGKILL if it has not ended within 10 s; the exit status as waitpid gives it.
    int stop();

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::thread drain_; // reads the server's output after the port line so it never blocks
};

} // namespace bench
