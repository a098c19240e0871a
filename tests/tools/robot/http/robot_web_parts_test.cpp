// The web layer's parts on their own: the upload limiter's minute, sessions and their
// CSRF tokens, the published files' whitelist, the logs' order and the route table.
#include "tools/robot/ApiJson.h"
#include "tools/robot/CommitteeSessions.h"
#include "tools/robot/HttpReplies.h"
#include "tools/robot/LogsOrder.h"
#include "tools/robot/PageLayout.h"
#include "tools/robot/PublishedFiles.h"
#include "tools/robot/RequestBodyRule.h"
#include "tools/robot/RouteTable.h"
#include "tools/robot/Secrets.h"
#include "tools/robot/UploadLimiter.h"

#include <doctest/doctest.h>

#include <set>

using namespace korvane::robot;
using std::chrono::seconds;

TEST_CASE("the upload limiter counts each address over a sliding minute")
{
    UploadLimiter limiter(2, 4);
    const auto t0 = UploadLimiter::Clock::time_point() + std::chrono::hours(1);
    CHECK(limiter.allow("a", t0));
    CHECK(limiter.allow("a", t0 + seconds(30)));
    CHECK_FALSE(limiter.allow("a", t0 + seconds(59)));
    CHECK(limiter.allow("b", t0 + seconds(59)));
    // The first upload is a minute old: one more may come, not two.
    CHECK(limiter.allow("a", t0 + seconds(60)));
    CHECK_FALSE(limiter.allow("a", t0 + seconds(61)));
    // The table of addresses is bounded: full, a new address is let in and the one heard
    // from longest ago ("b") forgotten, while the busiest stays held.
    CHECK(limiter.allow("c", t0 + seconds(61)));
    CHECK(limiter.allow("d", t0 + seconds(61)));
    CHECK(limiter.allow("e", t0 + seconds(62)));
    CHECK_FALSE(limiter.allow("a", t0 + seconds(62)));
    CHECK(limiter.allow("b", t0 + seconds(63)));
    CHECK(limiter.allow("b", t0 + seconds(63)));
    CHECK_FALSE(limiter.allow("b", t0 + seconds(63)));
    UploadLimiter unlimited(0);
    for (int i = 0; i < 1000; ++i)
        REQUIRE(unlimited.allow("a", t0));
}

TEST_CASE("the upload limiter counts an IPv6 client by its /64, an IPv4-mapped one as IPv4")
{
    CHECK(limiterClient("198.51.100.7") == "198.51.100.7");
    CHECK(limiterClient("::ffff:198.51.100.7") == "198.51.100.7");
    CHECK(limiterClient("2001:db8:1:2:aaaa::1") == "2001:0db8:0001:0002::/64");
    CHECK(limiterClient("2001:db8:1:2:ffff:ffff:ffff:ffff") == "2001:0db8:0001:0002::/64");
    CHECK(limiterClient("2001:db8:1:3::1") == "2001:0db8:0001:0003::/64");
    CHECK(limiterClient(std::string(500, 'x')).size() == 64);

    UploadLimiter limiter(2, 1000);
    const auto t0 = UploadLimiter::Clock::time_point() + std::chrono::hours(1);
    CHECK(limiter.allow("2001:db8::1", t0));
    CHECK(limiter.allow("2001:db8::2", t0));
    CHECK_FALSE(limiter.allow("2001:db8::ffff:3", t0));
    CHECK(limiter.allow("2001:db8:0:1::1", t0));
    CHECK(limiter.allow("::ffff:192.0.2.1", t0));
    CHECK(limiter.allow("192.0.2.1", t0));
    CHECK_FALSE(limiter.allow("::ffff:192.0.2.1", t0));
}

TEST_CASE("a flood of new addresses does not refuse the next one")
{
    UploadLimiter limiter(1, 1000);
    const auto t0 = UploadLimiter::Clock::time_point() + std::chrono::hours(1);
    char address[64];
    for (unsigned i = 0; i < 200000; ++i) {
        std::snprintf(address, sizeof address, "2001:db8:%x:%x::1", i & 0xffff, i >> 16);
        REQUIRE(limiter.allow(address, t0));
    }
    CHECK(limiter.allow("198.51.100.9", t0));
    CHECK_FALSE(limiter.allow("198.51.100.9", t0));
}

TEST_CASE("a POST's body from its headers: read, none, too large, length required, malformed")
{
    struct Case {
        httplib::Headers headers;
        bool chunkedTaken;
        BodyRule rule;
    };
    const Case cases[] = {
        {{{"Content-Length", "100"}}, false, BodyRule::Read},
        {{{"Content-Length", "0"}}, false, BodyRule::Read},
        {{{"Content-Length", "101"}}, true, BodyRule::TooLarge},
        {{{"Content-Length", "99999999999999999999999"}}, true, BodyRule::Malformed},
        {{}, false, BodyRule::Empty},
        {{}, true, BodyRule::Empty},
        {{{"Transfer-Encoding", "chunked"}}, true, BodyRule::Read},
        {{{"Transfer-Encoding", "Chunked"}}, true, BodyRule::Read},
        {{{"Transfer-Encoding", "chunked"}}, false, BodyRule::LengthRequired},
        {{{"Transfer-Encoding", "gzip, chunked"}}, true, BodyRule::Malformed},
        {{{"Content-Length", "+5"}}, true, BodyRule::Malformed},
        {{{"Content-Length", "-1"}}, true, BodyRule::Malformed},
        {{{"Content-Length", ""}}, true, BodyRule::Malformed},
        {{{"Content-Length", "5"}, {"Content-Length", "5"}}, true, BodyRule::Malformed},
        {{{"Content-Length", "5"}, {"Transfer-Encoding", "chunked"}}, true, BodyRule::Malformed},
    };
    int number = 0;
    for (const Case& c : cases) {
        INFO("case " << ++number);
        httplib::Request req;
        req.headers = c.headers;
        CHECK(bodyRule(req, 100, c.chunkedTaken) == c.rule);
    }
}

TEST_CASE("sessions: random ids, their own CSRF token, expiry, a bound on their number")
{
    CommitteeSessions sessions(seconds(60), 3);
    const auto t0 = CommitteeSessions::Clock::now();
    const auto a = sessions.open(t0);
    const auto b = sessions.open(t0 + seconds(1));
    REQUIRE(a);
    REQUIRE(b);
    CHECK(a->id.size() == 43);
    CHECK(a->id != b->id);
    CHECK(a->csrf != a->id);
    CHECK(sessions.csrfMatches(a->id, a->csrf, t0));
    CHECK_FALSE(sessions.csrfMatches(a->id, b->csrf, t0));
    CHECK_FALSE(sessions.csrfMatches(b->id, a->csrf, t0));
    CHECK_FALSE(sessions.csrfMatches(a->id, "", t0));
    CHECK_FALSE(sessions.csrfMatches("", "", t0));
    CHECK_FALSE(sessions.find(a->id, t0 + seconds(60)));
    CHECK(sessions.find(b->id, t0 + seconds(60)));

    sessions.setNotice(b->id, "done");
    CHECK(sessions.takeNotice(b->id) == "done");
    CHECK(sessions.takeNotice(b->id).empty());
    sessions.close(b->id);
    CHECK_FALSE(sessions.find(b->id, t0));

    // A fourth login pushes out the one that expires first.
    const auto c = sessions.open(t0 + seconds(2)), d = sessions.open(t0 + seconds(3)),
               e = sessions.open(t0 + seconds(4)), f = sessions.open(t0 + seconds(5));
    CHECK_FALSE(sessions.find(c->id, t0 + seconds(5)));
    CHECK(sessions.find(f->id, t0 + seconds(5)));

    std::set<std::string> tokens;
    for (int i = 0; i < 200; ++i)
        tokens.insert(newToken());
    CHECK(tokens.size() == 200);
    CHECK(sameSecret("abc", "abc"));
    CHECK_FALSE(sameSecret("abc", "abd"));
    CHECK_FALSE(sameSecret("abc", "abcd"));
}

TEST_CASE("only the names the judge writes are published files")
{
    struct Case {
        const char* rest;
        const char* path; // empty: refused
    };
    const Case cases[] = {
        {"", "/p/results.html"},
        {"results.html", "/p/results.html"},
        {"results.txt", "/p/results.txt"},
        {"results.csv", "/p/results.csv"},
        {"results.json", "/p/results.json"},
        {"reports/RK3AZ.txt", "/p/reports/RK3AZ.txt"},
        {"reports/UA1A_P.txt", "/p/reports/UA1A_P.txt"},
        {"reports/a-b.c.txt", "/p/reports/a-b.c.txt"},
        {"reports/.txt", ""},
        {"reports/..txt", ""},
        {"reports/../results.txt", ""},
        {"reports/a/b.txt", ""},
        {"reports/a\\b.txt", ""},
        {"reports/RK3AZ.cbr", ""},
        {"reports/", ""},
        {"../robot.db", ""},
        {"/etc/passwd", ""},
        {"results.html/", ""},
        {"RESULTS.TXT", ""},
        {"robot.db", ""},
    };
    for (const Case& c : cases) {
        INFO(c.rest);
        const std::optional<PublishedFile> file = publishedFile("/p", c.rest);
        CHECK(file.has_value() == (*c.path != 0));
        if (file)
            CHECK(file->path == c.path);
    }
    CHECK_FALSE(publishedFile("", ""));
    CHECK_FALSE(publishedFile("/p", std::string("reports/a.txt\0.html", 19)));
}

TEST_CASE("the judge's page's own style is allowed by its hash")
{
    // sha256 of "a{}" in base64 (openssl dgst -sha256 -binary | base64), as a browser
    // computes it for the style element.
    CHECK(publishedPagePolicy("<html><style>a{}</style>") ==
          "default-src 'self'; style-src 'sha256-X1RutGBrXCt9KkSaXMK7tHftWiRscFHOhxsS8tv8hBk='");
    CHECK(publishedPagePolicy("<html>no style</html>") == "default-src 'self'");
}

TEST_CASE("the logs' order from the page's query, unknown words ignored")
{
    std::vector<ReceivedLog> logs(3);
    logs[0].call = "UA1A", logs[0].qsos = 10, logs[0].claimedScore = 5, logs[0].latestUtc = "2026-11-21 19:00";
    logs[1].call = "RK3AZ", logs[1].qsos = 300, logs[1].claimedScore = 445, logs[1].latestUtc = "2026-11-21 18:10";
    logs[2].call = "EW1ZK", logs[2].qsos = 10, logs[2].claimedScore = 20, logs[2].latestUtc = "2026-11-22 08:00";
    auto calls = [&] {
        std::string out;
        for (const ReceivedLog& l : logs)
            out += l.call + " ";
        return out;
    };
    sortLogs(logs, logsOrder("", ""));
    CHECK(calls() == "EW1ZK RK3AZ UA1A ");
    sortLogs(logs, logsOrder("qsos", "desc"));
    CHECK(calls() == "RK3AZ EW1ZK UA1A "); // ties by call
    sortLogs(logs, logsOrder("score", "asc"));
    CHECK(calls() == "UA1A EW1ZK RK3AZ ");
    sortLogs(logs, logsOrder("time", "desc"));
    CHECK(calls() == "EW1ZK UA1A RK3AZ ");
    sortLogs(logs, logsOrder("<script>", "sideways"));
    CHECK(calls() == "EW1ZK RK3AZ UA1A ");
}

TEST_CASE("routes: found, known under another method, unknown")
{
    RouteTable table;
    table.add("GET", "/receipts/([a-z]+)", [](const auto&, auto&, const auto&) {});
    table.add("POST", "/receipts/([a-z]+)", [](const auto&, auto&, const auto&) {});
    table.addUpload("/upload", [](const auto&, auto&, const auto&) {});
    const std::string path = "/receipts/abc";
    RouteTable::Found found = table.find("HEAD", path);
    CHECK(found.match == RouteTable::Match::Found);
    CHECK(found.groups[1].str() == "abc");
    CHECK(table.find("PUT", path).allow == "GET, HEAD, POST");
    CHECK(table.find("GET", "/upload").match == RouteTable::Match::WrongMethod);
    CHECK(table.find("GET", "/upload").allow == "POST");
    CHECK(table.find("GET", "/receipts/ABC").match == RouteTable::Match::Unknown);
    CHECK(table.find("GET", "/receipts/abc/").match == RouteTable::Match::Unknown);
}

TEST_CASE("cookies, client addresses and the time left")
{
    httplib::Request req;
    req.remote_addr = "127.0.0.1";
    req.set_header("Cookie", "a=1; robot_session=xyz; robot_session_old=no");
    CHECK(cookieValue(req, "robot_session") == "xyz");
    CHECK(cookieValue(req, "a") == "1");
    CHECK(cookieValue(req, "robot").empty());
    req.set_header("X-Forwarded-For", "203.0.113.9, 192.0.2.1, 198.51.100.7 ");
    req.set_header("X-Forwarded-Proto", "https");
    CHECK(clientAddress(req, false) == "127.0.0.1");
    CHECK(clientAddress(req, true) == "198.51.100.7");
    CHECK_FALSE(overTls(req, false));
    CHECK(overTls(req, true));

    CHECK(durationText(-1).empty());
    CHECK(durationText(59) == "0 min 59 s");
    CHECK(durationText(3600 + 120) == "1 h 2 min");
    CHECK(durationText(2 * 86400 + 5) == "2 days 0 h 0 min");
    CHECK(html("<a href='x'>&") == "&lt;a href=&#39;x&#39;&gt;&amp;");
}

TEST_CASE("a submission's outcome as HTTP status and API word")
{
    struct Case {
        SubmitOutcome::Status status;
        bool again;
        int http;
        const char* word;
    };
    const Case cases[] = {
        {SubmitOutcome::Status::Receipted, false, 201, "receipted"},
        {SubmitOutcome::Status::Receipted, true, 200, "receipted"},
        {SubmitOutcome::Status::Refused, false, 422, "refused"},
        {SubmitOutcome::Status::WindowClosed, false, 403, "window-closed"},
        {SubmitOutcome::Status::TooLarge, false, 413, "too-large"},
        {SubmitOutcome::Status::StorageFull, false, 503, "storage-full"},
        {SubmitOutcome::Status::Failed, false, 500, "failed"},
    };
    for (const Case& c : cases) {
        SubmitOutcome outcome;
        outcome.status = c.status;
        outcome.sameAsBefore = c.again;
        INFO(c.word);
        CHECK(submitHttpStatus(outcome) == c.http);
        CHECK(std::string(statusName(c.status)) == c.word);
        CHECK(outcomeJson(outcome)["status"] == c.word);
    }
}
