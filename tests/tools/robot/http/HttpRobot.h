#pragma once
// A real robot server on 127.0.0.1, on a free port, in this process, over a robot on a
// fresh data folder; and what the tests ask of it through a real httplib client.

#include "RobotTestSupport.h"
#include "tools/robot/RobotServer.h"

#include <httplib.h>

#include <memory>
#include <string>
#include <thread>

namespace robottest {

struct HttpRobot {
    // contestIni: a contest definition's text; empty: KORVANE.
    explicit HttpRobot(ServerOptions options = {}, const std::string& contestIni = "");
    ~HttpRobot();
    HttpRobot(const HttpRobot&) = delete;
    HttpRobot& operator=(const HttpRobot&) = delete;

    httplib::Client client() const;

    TestRobot test; // test.robot, test.token, test.now
    std::unique_ptr<RobotServer> server;
    std::thread serving;
    int port = 0;
};

// The bundled sample log, "adi" or "cbr".
std::string sampleLog(const char* extension);

// A committee login through the form: the cookie to send back ("robot_session=...") and
// the page's CSRF token.
struct CommitteeLogin {
    std::string cookie;
    std::string setCookie; // the Set-Cookie header as sent
    std::string csrf;
};
CommitteeLogin committeeLogin(const HttpRobot& robot, const httplib::Headers& extra = {});

httplib::Headers bearer(const std::string& token);

// The log as a multipart form's file field "log".
httplib::MultipartFormDataItems logForm(const std::string& log, const std::string& text = {});

} // namespace robottest
