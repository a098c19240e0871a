#include "RobotProcess.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <regex>
#include <vector>

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;

// Runs argv with stdout on a pipe; the read end, or -1.
pid_t spawn(const std::vector<std::string>& args, int* out)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    if (child < 0) {
        close(fds[0]);
        return -1;
    }
    *out = fds[0];
    return child;
}

// Reads what is there within the time left; false at the end of the output or the time.
bool readSome(int fd, Clock::time_point until, std::string* text)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0)
        return false;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0)
        return false;
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    text->append(buffer, static_cast<std::size_t>(n));
    return true;
}

} // namespace

bool initRobot(const std::string& korvane, const std::string& dataDir, std::string* token, std::string* error)
{
    int out = -1;
    const pid_t child = spawn({korvane, "robot", "init", "--data", dataDir}, &out);
    if (child < 0) {
        *error = "cannot start " + korvane;
        return false;
    }
    std::string text;
    const auto until = Clock::now() + std::chrono::seconds(60);
    while (readSome(out, until, &text)) {
    }
    close(out);
    int status = 0;
    waitpid(child, &status, 0);
    std::smatch m;
    static const std::regex line("committee token: (\\S+)");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !std::regex_search(text, m, line)) {
        *error = "korvane robot init gave no committee token: " + text;
        return false;
    }
    *token = m[1];
    return true;
}

RobotProcess::~RobotProcess()
{
    if (pid_ > 0)
        stop();
}

bool RobotProcess::start(const std::string& korvane, const std::string& dataDir, std::string* error)
{
    int out = -1;
    // Behind a proxy, as on the internet: each simulated entrant's address is its own.
    pid_ = spawn({korvane, "robot", "--data", dataDir, "--listen", "127.0.0.1:0", "--behind-proxy"}, &out);
    if (pid_ < 0) {
        *error = "cannot start " + korvane;
        return false;
    }
    static const std::regex line("listening on http://127\\.0\\.0\\.1:(\\d+)");
    std::string text;
    std::smatch m;
    const auto until = Clock::now() + std::chrono::seconds(60);
    while (!std::regex_search(text, m, line)) {
        if (!readSome(out, until, &text)) {
            close(out);
            stop();
            *error = "korvane robot did not say where it listens: " + text;
            return false;
        }
    }
    port_ = std::atoi(m[1].str().c_str());
    drain_ = std::thread([out] {
        char buffer[4096];
        while (read(out, buffer, sizeof buffer) > 0) {
        }
        close(out);
    });
    return true;
}

double RobotProcess::cpuSeconds() const
{
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string text;
    if (pid_ <= 0 || !std::getline(stat, text))
        return -1;
    // The fields after the command name, which may hold blanks, start after its ')'.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int n = 3; n <= 15 && fields >> field; ++n) {
        if (n == 14)
            utime = std::stoull(field);
        if (n == 15)
            stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

int RobotProcess::stop()
{
    int status = 0;
    if (pid_ <= 0)
        return status;
    kill(pid_, SIGTERM);
    const auto until = Clock::now() + std::chrono::seconds(10);
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() > until) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        usleep(20000);
    }
    pid_ = -1;
    if (drain_.joinable())
        drain_.join();
    return status;
}

} // namespace bench
