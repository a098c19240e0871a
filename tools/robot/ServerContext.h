#pragma once
// What the route handlers share: the robot, the server's limits, the committee's sessions
// and the upload limiter. Each group of routes adds itself to the table from here.

#include "tools/robot/CommitteeSessions.h"
#include "tools/robot/HttpReplies.h"
#include "tools/robot/RobotServer.h"
#include "tools/robot/RouteTable.h"
#include "tools/robot/UploadBody.h"
#include "tools/robot/UploadLimiter.h"

namespace korvane::robot {

struct ServerContext {
    ServerContext(Robot& r, const ServerOptions& o) : robot(r), options(o), uploads(o.uploadsPerMinute) {}

    Robot& robot;
    ServerOptions options;
    CommitteeSessions sessions;
    UploadLimiter uploads;

    std::string client(const httplib::Request& req) const { return clientAddress(req, options.behindProxy); }
    UploadBody receiveUpload(const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader)
    {
        return korvane::robot::receiveUpload(uploads, client(req), req, res, reader, options.maxLogBytes);
    }
};

// The public pages, /style.css, /robot.js and /results/.
void addEntrantRoutes(ServerContext& context, RouteTable& table);
// /committee and below: cookie sessions and CSRF.
void addCommitteeRoutes(ServerContext& context, RouteTable& table);
// /api/...: JSON, the committee's calls with the bearer token.
void addApiRoutes(ServerContext& context, RouteTable& table);

} // namespace korvane::robot
