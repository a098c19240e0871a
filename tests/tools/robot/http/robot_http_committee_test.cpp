// The committee through the API with its token and through the pages with a session
// cookie and CSRF tokens: refusals first, then the whole way from logs to results.
#include "HttpRobot.h"

#include <doctest/doctest.h>

#include <nlohmann/json.hpp>

#include <chrono>

using namespace robottest;
using nlohmann::json;

namespace {

const char* const kCommitteeGets[] = {"/api/submissions", "/api/submissions/1", "/api/archive", "/api/judge"};
const char* const kCommitteePosts[] = {"/api/checklog", "/api/late", "/api/window", "/api/judge", "/api/publish"};

// Waits for the judge's run to end, bounded.
json judgeEnd(httplib::Client& client, const std::string& token)
{
    json progress;
    for (int i = 0; i < 600; ++i) {
        httplib::Result res = client.Get("/api/judge", bearer(token));
        REQUIRE(res);
        progress = json::parse(res->body);
        if (progress["state"] != "running")
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return progress;
}

} // namespace

TEST_CASE("committee calls without the token, or with a wrong one, are refused with 401")
{
    HttpRobot http;
    httplib::Client client = http.client();
    REQUIRE(client.Post("/api/logs", sampleLog("cbr"), "text/plain")->status == 201);
    const std::string wrong = http.test.token.substr(0, http.test.token.size() - 1) + "x";
    const httplib::Headers refusedHeaders[] = {
        {}, bearer(wrong), bearer(""), {{"Authorization", "Basic " + http.test.token}}, bearer(http.test.token + "x")};
    for (const httplib::Headers& headers : refusedHeaders) {
        for (const char* path : kCommitteeGets) {
            httplib::Result res = client.Get(path, headers);
            REQUIRE(res);
            CHECK_MESSAGE(res->status == 401, path);
            CHECK(res->body.find("unauthorized") != std::string::npos);
        }
        for (const char* path : kCommitteePosts) {
            httplib::Result res = client.Post(path, headers, "{\"mode\":\"closed\"}", "application/json");
            REQUIRE(res);
            CHECK_MESSAGE(res->status == 401, path);
        }
    }
    CHECK(http.test.robot->window().mode == WindowMode::Automatic);
}

TEST_CASE("the committee's API: submissions byte for byte, marks, window, judge, publish")
{
    HttpRobot http;
    httplib::Client client = http.client();
    const httplib::Headers token = bearer(http.test.token);
    const std::string log = sampleLog("cbr");
    REQUIRE(client.Post("/api/logs", log, "text/plain")->status == 201);

    const json list = json::parse(client.Get("/api/submissions", token)->body);
    REQUIRE(list["submissions"].size() == 1);
    CHECK(list["submissions"][0]["call"] == "RK3AZ");
    CHECK(list["submissions"][0]["client_address"] == "127.0.0.1");
    httplib::Result bytes = client.Get("/api/submissions/1", token);
    CHECK(bytes->status == 200);
    CHECK(bytes->body == log);
    CHECK(client.Get("/api/submissions/2", token)->status == 404);
    httplib::Result archive = client.Get("/api/archive", token);
    CHECK(archive->status == 200);
    CHECK(archive->body.find("RK3AZ") != std::string::npos);

    CHECK(client.Post("/api/checklog", token, "{\"call\":\"RK3AZ\",\"checklog\":true}", "application/json")->status ==
          200);
    CHECK(json::parse(client.Get("/api/logs")->body)["logs"][0]["checklog"] == true);
    CHECK(client.Post("/api/checklog", token, "{\"call\":\"RK3AZ\",\"checklog\":false}", "application/json")->status ==
          200);
    for (const char* bad : {"", "[1]", "{\"call\":1,\"checklog\":true}", "{not json"})
        CHECK_MESSAGE(client.Post("/api/checklog", token, bad, "application/json")->status == 400, bad);
    CHECK(client.Post("/api/late", token, "{\"number\":-3}", "application/json")->status == 400);
    CHECK(client.Post("/api/late", token, "{\"number\":1}", "application/json")->status == 422); // not late
    CHECK(client.Post("/api/window", token, "{\"mode\":\"sideways\"}", "application/json")->status == 400);
    httplib::Result closed = client.Post("/api/window", token, "{\"mode\":\"closed\"}", "application/json");
    CHECK(closed->status == 200);
    CHECK(json::parse(closed->body)["window"]["open"] == false);
    CHECK(client.Post("/api/logs", log + "\n", "text/plain")->status == 403);
    REQUIRE(client.Post("/api/window", token, "{\"mode\":\"automatic\"}", "application/json")->status == 200);

    // Nothing published yet.
    CHECK(client.Get("/results/")->status == 404);
    CHECK(client.Post("/api/publish", token, "", "application/json")->status == 409);

    httplib::Result started = client.Post("/api/judge", token, "", "application/json");
    REQUIRE(started);
    CHECK(started->status == 202);
    const json end = judgeEnd(client, http.test.token);
    REQUIRE_MESSAGE(end["state"] == "done", end.dump());
    CHECK(end["published"] == false);
    CHECK(client.Post("/api/publish", token, "", "application/json")->status == 200);
    CHECK(json::parse(client.Get("/api/judge", token)->body)["published"] == true);

    httplib::Result results = client.Get("/results/");
    REQUIRE(results);
    CHECK(results->status == 200);
    CHECK(results->body.find("RK3AZ") != std::string::npos);
    // The judge's page keeps its own style: allowed by its hash, nothing else inline.
    const std::string policy = results->get_header_value("Content-Security-Policy");
    CHECK(policy.rfind("default-src 'self'; style-src 'sha256-", 0) == 0);
    CHECK(results->get_header_value_count("Content-Security-Policy") == 1);
    CHECK(client.Get("/results")->status == 303);
    CHECK(client.Get("/results/results.txt")->status == 200);
    CHECK(client.Get("/results/results.json")->get_header_value("Content-Type") == "application/json");
    httplib::Result report = client.Get("/results/reports/RK3AZ.txt");
    REQUIRE(report);
    CHECK(report->status == 200);
    CHECK(report->get_header_value("Content-Type") == "text/plain; charset=utf-8");
}

TEST_CASE("login: a wrong token is refused, the right one gives an HttpOnly, SameSite=Strict cookie")
{
    HttpRobot http;
    httplib::Client client = http.client();
    httplib::Result form = client.Get("/committee");
    REQUIRE(form);
    CHECK(form->body.find("name=\"token\"") != std::string::npos);
    httplib::Result wrong = client.Post("/committee/login", httplib::Params{{"token", "guess"}});
    REQUIRE(wrong);
    CHECK(wrong->status == 401);
    CHECK(!wrong->has_header("Set-Cookie"));

    const CommitteeLogin login = committeeLogin(http);
    CHECK(login.setCookie.rfind("robot_session=", 0) == 0);
    CHECK(login.setCookie.find("; HttpOnly") != std::string::npos);
    CHECK(login.setCookie.find("; SameSite=Strict") != std::string::npos);
    CHECK(login.setCookie.find("; Path=/") != std::string::npos);
    // Not behind a proxy: its header is nobody's word, so no Secure flag from it.
    CHECK(login.setCookie.find("Secure") == std::string::npos);
    const CommitteeLogin spoofed = committeeLogin(http, {{"X-Forwarded-Proto", "https"}});
    CHECK(spoofed.setCookie.find("Secure") == std::string::npos);
    CHECK(login.cookie != spoofed.cookie);
    CHECK(login.csrf != spoofed.csrf);
}

TEST_CASE("behind a proxy, a request that came over TLS gets a Secure cookie")
{
    HttpRobot http({30, true});
    CHECK(committeeLogin(http, {{"X-Forwarded-Proto", "https"}}).setCookie.find("; Secure") != std::string::npos);
    CHECK(committeeLogin(http, {{"X-Forwarded-Proto", "http"}}).setCookie.find("Secure") == std::string::npos);
}

TEST_CASE("committee forms without the session's CSRF token change nothing: 403")
{
    HttpRobot http;
    httplib::Client client = http.client();
    const CommitteeLogin login = committeeLogin(http);
    const CommitteeLogin other = committeeLogin(http);
    const httplib::Headers cookie{{"Cookie", login.cookie}};
    const std::string paths[] = {"/committee/window", "/committee/checklog", "/committee/late",
                                 "/committee/judge",  "/committee/publish",  "/committee/logout"};
    const std::string refused[] = {"", "x", other.csrf, login.csrf + "x", login.csrf.substr(1)};
    for (const std::string& path : paths) {
        for (const std::string& csrf : refused) {
            httplib::Params form{{"mode", "closed"}, {"call", "RK3AZ"}, {"checklog", "1"}, {"number", "1"}};
            if (!csrf.empty())
                form.emplace("csrf", csrf);
            httplib::Result res = client.Post(path, cookie, form);
            REQUIRE(res);
            CHECK_MESSAGE(res->status == 403, path, " csrf=", csrf);
        }
        // The right token without the session's cookie.
        httplib::Result noCookie = client.Post(path, httplib::Params{{"csrf", login.csrf}, {"mode", "closed"}});
        REQUIRE(noCookie);
        CHECK(noCookie->status == 403);
    }
    CHECK(http.test.robot->window().mode == WindowMode::Automatic);
    CHECK(http.test.robot->judgeProgress().state == JudgeProgress::State::Idle);
    // Still logged in: a refused logout does not end the session.
    CHECK(client.Get("/committee", cookie)->body.find("name=\"csrf\"") != std::string::npos);
}

TEST_CASE("the committee's page: submissions to download, forms that act, logout")
{
    HttpRobot http;
    httplib::Client client = http.client();
    const std::string log = sampleLog("cbr");
    REQUIRE(client.Post("/api/logs", log, "text/plain")->status == 201);
    const CommitteeLogin login = committeeLogin(http);
    const httplib::Headers cookie{{"Cookie", login.cookie}};

    // Downloads need the session.
    CHECK(client.Get("/committee/submissions/1")->status == 303);
    CHECK(client.Get("/committee/archive")->status == 303);
    httplib::Result download = client.Get("/committee/submissions/1", cookie);
    CHECK(download->status == 200);
    CHECK(download->body == log);
    CHECK(download->get_header_value("Content-Disposition") == "attachment; filename=\"submission-1.log\"");
    CHECK(client.Get("/committee/submissions/99", cookie)->status == 404);
    CHECK(client.Get("/committee/archive", cookie)->get_header_value("Content-Type") == "application/x-tar");

    httplib::Result window =
        client.Post("/committee/window", cookie, httplib::Params{{"csrf", login.csrf}, {"mode", "closed"}});
    CHECK(window->status == 303);
    CHECK(window->get_header_value("Location") == "/committee");
    CHECK(http.test.robot->window().mode == WindowMode::Closed);
    httplib::Result page = client.Get("/committee", cookie);
    CHECK(page->body.find("The submission window is now closed.") != std::string::npos);
    CHECK(page->body.find("/committee/submissions/1") != std::string::npos);

    REQUIRE(client.Post("/committee/checklog", cookie,
                        httplib::Params{{"csrf", login.csrf}, {"call", "RK3AZ"}, {"checklog", "1"}})
                ->status == 303);
    CHECK(http.test.robot->logsReceived().at(0).checklog);

    REQUIRE(client.Post("/committee/judge", cookie, httplib::Params{{"csrf", login.csrf}})->status == 303);
    CHECK(judgeEnd(client, http.test.token)["state"] == "done");
    httplib::Result progress = client.Get("/committee/progress", cookie);
    CHECK(json::parse(progress->body)["state"] == "done");
    CHECK(client.Get("/committee/progress")->status == 401);
    REQUIRE(client.Post("/committee/publish", cookie, httplib::Params{{"csrf", login.csrf}})->status == 303);
    CHECK(client.Get("/results/")->status == 200);

    httplib::Result logout = client.Post("/committee/logout", cookie, httplib::Params{{"csrf", login.csrf}});
    CHECK(logout->status == 303);
    CHECK(logout->get_header_value("Set-Cookie").find("Max-Age=0") != std::string::npos);
    CHECK(client.Get("/committee", cookie)->body.find("name=\"token\"") != std::string::npos);
    CHECK(client.Get("/committee/submissions/1", cookie)->status == 303);
}
