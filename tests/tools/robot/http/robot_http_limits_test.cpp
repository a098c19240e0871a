// What the server does for any request: security headers on every answer, 404 and 405
// from one table, paths that try to leave their folder, and uploads per address.
#include "HttpRobot.h"

#include <doctest/doctest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <vector>

using namespace robottest;

namespace {

void checkHeaders(const httplib::Result& res, const std::string& what)
{
    REQUIRE_MESSAGE(res, what);
    INFO(what, " -> ", res->status);
    CHECK(res->get_header_value("Content-Security-Policy").rfind("default-src 'self'", 0) == 0);
    CHECK(res->get_header_value("X-Content-Type-Options") == "nosniff");
}

} // namespace

TEST_CASE("every answer carries the security headers, refusals and errors too")
{
    HttpRobot http;
    httplib::Client client = http.client();
    for (const char* path : {"/", "/logs", "/style.css", "/robot.js", "/committee", "/results/", "/results",
                             "/receipts/x", "/api/logs", "/api/contest", "/api/receipts/x", "/api/judge", "/nothing",
                             "/upload", "/api/nothing", "/committee/archive"})
        checkHeaders(client.Get(path), std::string("GET ") + path);
    checkHeaders(client.Post("/api/logs", sampleLog("cbr"), "text/plain"), "POST /api/logs");
    checkHeaders(client.Post("/api/logs", "garbage", "text/plain"), "POST /api/logs refused");
    checkHeaders(client.Post("/upload", logForm(sampleLog("cbr"))), "POST /upload");
    checkHeaders(client.Post("/committee/window", httplib::Params{{"mode", "open"}}), "POST without CSRF");
    checkHeaders(client.Post("/api/logs", std::string(6u << 20, 'x'), "text/plain"), "too large");
    checkHeaders(client.Put("/api/logs", "x", "text/plain"), "PUT");
    checkHeaders(client.Delete("/"), "DELETE");

    httplib::Result css = client.Get("/style.css");
    CHECK(css->get_header_value("Content-Type") == "text/css; charset=utf-8");
    CHECK(client.Get("/robot.js")->get_header_value("Content-Type") == "text/javascript; charset=utf-8");
    // Nothing inline that the policy would block.
    const std::string page = client.Get("/")->body;
    CHECK(page.find("style=") == std::string::npos);
    CHECK(page.find("<style") == std::string::npos);
    CHECK(page.find("<script>") == std::string::npos);
    CHECK(page.find("<script src=\"/robot.js\" defer></script>") != std::string::npos);
}

TEST_CASE("wrong method 405 with the methods allowed; unknown path 404, in JSON under /api/")
{
    HttpRobot http;
    httplib::Client client = http.client();
    struct Case {
        const char* method;
        const char* path;
        int status;
        const char* allow;
    };
    const Case cases[] = {
        {"GET", "/upload", 405, "POST"},
        {"POST", "/", 405, "GET, HEAD"},
        {"PUT", "/api/logs", 405, "POST, GET, HEAD"},
        {"DELETE", "/api/receipts/abc", 405, "GET, HEAD"},
        {"PATCH", "/committee", 405, "GET, HEAD"},
        {"POST", "/api/contest", 405, "GET, HEAD"},
        {"GET", "/api/publish", 405, "POST"},
        {"GET", "/nothing", 404, ""},
        {"PUT", "/nothing", 404, ""},
        {"GET", "/api/nothing", 404, ""},
        {"GET", "/receipts/", 404, ""},
        {"GET", "/receipts/a/b", 404, ""},
    };
    for (const Case& c : cases) {
        INFO(c.method, " ", c.path);
        httplib::Request req;
        req.method = c.method;
        req.path = c.path;
        if (std::string(c.method) != "GET") {
            req.body = "x";
            req.set_header("Content-Type", "text/plain");
        }
        httplib::Result res = client.send(req);
        REQUIRE(res);
        CHECK(res->status == c.status);
        CHECK(res->get_header_value("Allow") == c.allow);
        const bool api = std::string(c.path).rfind("/api/", 0) == 0;
        CHECK(res->get_header_value("Content-Type") == (api ? "application/json" : "text/html; charset=utf-8"));
    }
    httplib::Result head = client.Head("/logs");
    REQUIRE(head);
    CHECK(head->status == 200);
}

TEST_CASE("paths that try to leave the published folder or name no submission: 404")
{
    HttpRobot http;
    httplib::Client client = http.client();
    REQUIRE(client.Post("/api/logs", sampleLog("cbr"), "text/plain")->status == 201);
    REQUIRE(client.Post("/api/judge", bearer(http.test.token), "", "application/json")->status == 202);
    for (int i = 0; i < 600 && http.test.robot->judgeProgress().state == JudgeProgress::State::Running; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::string error;
    REQUIRE_MESSAGE(http.test.robot->publish(&error), error);
    REQUIRE(client.Get("/results/reports/RK3AZ.txt")->status == 200);

    const CommitteeLogin login = committeeLogin(http);
    for (const char* path :
         {"/results/../robot.db", "/results/..%2Frobot.db", "/results/reports/..%2F..%2Frobot.db",
          "/results/reports/../results.txt", "/results/reports/.hidden.txt", "/results/reports/RK3AZ.cbr",
          "/results/reports/%2Fetc%2Fpasswd", "/results/%2Fetc%2Fpasswd", "/results/reports/RK3AZ.txt%00.html",
          "/results/reports/a%5Cb.txt", "/results/results.db", "/results/reports/", "/results//etc/passwd",
          "/committee/submissions/..%2F1", "/committee/submissions/1%2F..", "/committee/submissions/0",
          "/committee/submissions/-1", "/committee/submissions/99999999999999999999",
          "/api/submissions/..%2F1", "/api/submissions/0"}) {
        httplib::Result res = client.Get(path, {{"Cookie", login.cookie}, {"Authorization", "Bearer " + http.test.token}});
        REQUIRE(res);
        CHECK_MESSAGE(res->status == 404, std::string(path));
    }
}

TEST_CASE("uploads per client address per minute: the one over the limit gets 429")
{
    HttpRobot http({3, true});
    httplib::Client client = http.client();
    const std::string log = sampleLog("cbr");
    const httplib::Headers first{{"X-Forwarded-For", "198.51.100.7"}};
    for (int i = 0; i < 3; ++i)
        CHECK(client.Post("/api/logs", first, log, "text/plain")->status != 429);
    httplib::Result limited = client.Post("/api/logs", first, log, "text/plain");
    REQUIRE(limited);
    CHECK(limited->status == 429);
    CHECK(limited->body.find("rate-limited") != std::string::npos);
    CHECK(client.Post("/upload", first, logForm(log))->status == 429);
    // The proxy's own entry counts, not what the client put before it.
    const httplib::Headers spoofing{{"X-Forwarded-For", "203.0.113.1, 192.0.2.1, 198.51.100.7"}};
    CHECK(client.Post("/api/logs", spoofing, log, "text/plain")->status == 429);
    // Another address is not held up; pages are not counted.
    CHECK(client.Post("/api/logs", {{"X-Forwarded-For", "198.51.100.8"}}, log, "text/plain")->status == 200);
    CHECK(client.Get("/", first)->status == 200);
}

TEST_CASE("without --behind-proxy, X-Forwarded-For is the client's own say and ignored")
{
    HttpRobot http({2, false});
    httplib::Client client = http.client();
    const std::string log = sampleLog("cbr");
    for (int i = 0; i < 2; ++i)
        client.Post("/api/logs", {{"X-Forwarded-For", "10.0.0." + std::to_string(i)}}, log, "text/plain");
    CHECK(client.Post("/api/logs", {{"X-Forwarded-For", "10.0.0.9"}}, log, "text/plain")->status == 429);
    CHECK(http.test.robot->submissions().at(0).clientAddress == "127.0.0.1");
}

TEST_CASE("a client that stops sending mid-request loses its connection after the read time limit")
{
    ServerOptions options;
    options.readTimeout = std::chrono::seconds(1);
    HttpRobot http(options); // 4 threads
    using Steady = std::chrono::steady_clock;
    const auto start = Steady::now();
    std::vector<int> slow;
    for (int i = 0; i < 3; ++i) {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        REQUIRE(fd >= 0);
        timeval wait{10, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(http.port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        REQUIRE(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        const std::string partial = "POST /api/logs HTTP/1.1\r\nHost: x\r\nContent-Length: 1000\r\n\r\nSTART";
        REQUIRE(send(fd, partial.data(), partial.size(), 0) == static_cast<ssize_t>(partial.size()));
        slow.push_back(fd);
    }
    // A page is served beside them.
    httplib::Client client = http.client();
    httplib::Result page = client.Get("/api/contest");
    REQUIRE(page);
    CHECK(page->status == 200);
    for (int fd : slow) {
        char buffer[512];
        while (recv(fd, buffer, sizeof buffer, 0) > 0) {
        }
        close(fd);
    }
    const auto seconds = std::chrono::duration<double>(Steady::now() - start).count();
    // Each holds a thread for the read limit (1 s) and the keep-alive wait (2 s), no longer.
    CHECK(seconds < 6);
    MESSAGE("three stalled clients let go after " << seconds << " s");
}
