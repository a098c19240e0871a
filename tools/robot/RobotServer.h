#pragma once
// The robot's web server: the entrant's pages, the committee's pages and the JSON API
// over one Robot, with the limits a server facing the internet needs (body size, read
// and write time limits, a deadline per connection, uploads per client address per
// minute, security headers).

#include "tools/robot/Robot.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

namespace korvane::robot {

struct ServerOptions {
    std::size_t uploadsPerMinute = 30;  // per client address; 0: no limit
    bool behindProxy = false;           // trust X-Forwarded-For and X-Forwarded-Proto
    std::chrono::seconds readTimeout{10}, writeTimeout{10};
    std::size_t threads = 8;            // requests served at once
    std::size_t maxLogBytes = 5u << 20; // one log
    std::size_t maxFormBytes = 64u << 10; // the body of any other POST: a form or JSON
    // From the connection's accept to its last byte, however steadily the client sends.
    std::chrono::milliseconds connectionDeadline{std::chrono::seconds(60)};
};

class RobotServer {
public:
    RobotServer(Robot& robot, const ServerOptions& options);
    ~RobotServer();
    RobotServer(const RobotServer&) = delete;
    RobotServer& operator=(const RobotServer&) = delete;

    // Binds the address; port 0 picks a free one. False with a reason.
    bool bind(const std::string& host, int port, std::string* error);
    int port() const;
    // Serves on the bound address until stop(); false when it could not.
    bool serve();
    // Whether serve() is taking connections.
    bool running() const;
    // From any thread; serve() returns once the requests under way are answered.
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace korvane::robot
