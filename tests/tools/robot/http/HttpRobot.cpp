#include "HttpRobot.h"

#include <doctest/doctest.h>

#include <chrono>
#include <regex>

namespace robottest {

HttpRobot::HttpRobot(ServerOptions options, const std::string& contestIni) : test(contestIni)
{
    options.threads = 4;
    server = std::make_unique<RobotServer>(*test.robot, options);
    std::string error;
    REQUIRE_MESSAGE(server->bind("127.0.0.1", 0, &error), error);
    port = server->port();
    serving = std::thread([this] { server->serve(); });
    for (int i = 0; i < 500 && !server->running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    REQUIRE(server->running());
}

HttpRobot::~HttpRobot()
{
    server->stop();
    serving.join();
}

httplib::Client HttpRobot::client() const
{
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(std::chrono::seconds(60)); // a judge's run on a slow build
    return client;
}

std::string sampleLog(const char* extension)
{
    return bundledFile(std::string("korvane-2026-RK3AZ.") + extension);
}

CommitteeLogin committeeLogin(const HttpRobot& robot, const httplib::Headers& extra)
{
    httplib::Client client = robot.client();
    const httplib::Params form{{"token", robot.test.token}};
    httplib::Result login = client.Post("/committee/login", extra, form);
    REQUIRE(login);
    REQUIRE(login->status == 303);
    CommitteeLogin result;
    result.setCookie = login->get_header_value("Set-Cookie");
    result.cookie = result.setCookie.substr(0, result.setCookie.find(';'));
    httplib::Result page = client.Get("/committee", {{"Cookie", result.cookie}});
    REQUIRE(page);
    std::smatch csrf;
    REQUIRE(std::regex_search(page->body, csrf, std::regex("name=\"csrf\" value=\"([^\"]+)\"")));
    result.csrf = csrf[1].str();
    return result;
}

httplib::Headers bearer(const std::string& token)
{
    return {{"Authorization", "Bearer " + token}};
}

httplib::MultipartFormDataItems logForm(const std::string& log, const std::string& text)
{
    return {{"log", log, log.empty() ? "" : "log.cbr", "application/octet-stream"}, {"text", text, "", ""}};
}

} // namespace robottest
