// The entrant's pages through a real client: upload, the log check with the log back in
// the text area, the receipt at its own address, and the logs received.
#include "HttpRobot.h"

#include <doctest/doctest.h>

#include <nlohmann/json.hpp>

using namespace robottest;

namespace {

std::string withLine(std::string log, const std::string& after, const std::string& line)
{
    const std::size_t at = log.find(after);
    REQUIRE(at != std::string::npos);
    return log.insert(log.find('\n', at) + 1, line + "\n");
}

} // namespace

TEST_CASE("the upload page, a receipted upload and its receipt page")
{
    HttpRobot http;
    httplib::Client client = http.client();
    httplib::Result page = client.Get("/");
    REQUIRE(page);
    CHECK(page->status == 200);
    CHECK(page->body.find("KORVANE") != std::string::npos);
    CHECK(page->body.find("2026-11-21 15:00 to 2026-11-21 18:00") != std::string::npos);
    CHECK(page->body.find("enctype=\"multipart/form-data\"") != std::string::npos);
    CHECK(page->body.find("type=\"file\" name=\"log\"") != std::string::npos);
    CHECK(page->body.find("<textarea id=\"log-text\" name=\"text\"") != std::string::npos);

    // The sample sent as pasted text, as a browser sends a form without a file.
    httplib::Result sent = client.Post("/upload", logForm("", sampleLog("cbr")));
    REQUIRE(sent);
    REQUIRE(sent->status == 303);
    const std::string location = sent->get_header_value("Location");
    REQUIRE(location.rfind("/receipts/", 0) == 0);
    const std::string id = location.substr(10);
    const std::optional<Receipt> stored = http.test.robot->receipt(id);
    REQUIRE(stored);

    httplib::Result receipt = client.Get(location);
    REQUIRE(receipt);
    CHECK(receipt->status == 200);
    for (const std::string& shown : {id, stored->sha256, stored->receivedUtc, std::string("RK3AZ"),
                                     std::to_string(stored->claimedScore), std::string("314")})
        CHECK_MESSAGE(receipt->body.find(shown) != std::string::npos, shown);
    // The four QSOs the tour rule refuses are listed with their lines.
    CHECK(stored->refused.size() == 4);
    CHECK(receipt->body.find("QSOs the tour rule refuses (4)") != std::string::npos);

    // The file field wins over the text; the same bytes again: the same receipt.
    httplib::Result again = client.Post("/upload", logForm(sampleLog("cbr"), "ignored"));
    REQUIRE(again);
    CHECK(again->status == 303);
    CHECK(again->get_header_value("Location") == location + "?again=1");

    httplib::Result unknown = client.Get("/receipts/NoSuchReceipt0000000000");
    REQUIRE(unknown);
    CHECK(unknown->status == 404);
}

TEST_CASE("an ADIF upload shows what was converted on its receipt")
{
    HttpRobot http;
    httplib::Client client = http.client();
    httplib::Result sent = client.Post("/upload", logForm(sampleLog("adi")));
    REQUIRE(sent);
    REQUIRE(sent->status == 303);
    httplib::Result receipt = client.Get(sent->get_header_value("Location"));
    REQUIRE(receipt);
    CHECK(receipt->body.find("Converted from ADIF") != std::string::npos);
    CHECK(receipt->body.find("314 ADIF QSO records") != std::string::npos);
}

TEST_CASE("a log with errors: the check page by line, the log back in the text area, fixed and sent again")
{
    HttpRobot http;
    httplib::Client client = http.client();
    const std::string good = sampleLog("cbr");
    const std::string broken = withLine(good, "CALLSIGN: RK3AZ", "QSO:  3537 CW 2026-11-21 15xx RK3AZ 589 001");
    httplib::Result sent = client.Post("/upload", logForm(broken));
    REQUIRE(sent);
    CHECK(sent->status == 422);
    CHECK(sent->body.find("The log check found errors") != std::string::npos);
    // Line 4 as sent, in the table of errors.
    CHECK(sent->body.find("<td class=\"num\">4</td><td class=\"line\">QSO:  3537 CW 2026-11-21 15xx") !=
          std::string::npos);
    // The text area holds the log byte for byte (no markup in this one to escape); the
    // newline after the tag is the one the browser drops.
    CHECK(sent->body.find("name=\"text\" spellcheck=\"false\">\n" + broken + "</textarea>") != std::string::npos);
    CHECK(http.test.robot->submissions().empty());

    httplib::Result fixed = client.Post("/upload", logForm("", good));
    REQUIRE(fixed);
    CHECK(fixed->status == 303);
}

TEST_CASE("refusals on the page: nothing sent, window closed, over 5 MB")
{
    HttpRobot http;
    httplib::Client client = http.client();
    httplib::Result empty = client.Post("/upload", logForm(""));
    REQUIRE(empty);
    CHECK(empty->status == 400);
    CHECK(empty->body.find("Choose a log file or paste the log.") != std::string::npos);

    std::string error;
    REQUIRE(http.test.robot->setWindow(WindowMode::Closed, &error));
    httplib::Result closed = client.Post("/upload", logForm(sampleLog("cbr")));
    REQUIRE(closed);
    CHECK(closed->status == 403);
    CHECK(closed->body.find("Uploads are closed") != std::string::npos);
    httplib::Result page = client.Get("/");
    REQUIRE(page);
    CHECK(page->body.find("Uploads are closed") != std::string::npos);
    REQUIRE(http.test.robot->setWindow(WindowMode::Open, &error));

    httplib::Result large = client.Post("/upload", logForm(std::string((5u << 20) + 1, 'Q')));
    REQUIRE(large);
    CHECK(large->status == 413);
    CHECK(large->body.find("larger than 5 MB") != std::string::npos);
}

TEST_CASE("the logs received: every call once, sortable, counts per category, no e-mail address")
{
    HttpRobot http;
    httplib::Client client = http.client();
    const std::string withMail = [] {
        std::string log = sampleLog("cbr");
        const std::size_t at = log.find("EMAIL: ");
        return log.replace(at, 7, "EMAIL: rk3az@example.org");
    }();
    REQUIRE(client.Post("/api/logs", withMail, "text/plain")->status == 201);
    const std::string other = cabrillo("UA3LZ", {qso("UA3LZ", "1500", "RK3AZ", 1, 1), qso("UA3LZ", "1501", "RA3XA", 2, 1)},
                                       "SINGLE-OP\nCATEGORY-BAND: ALL\nCATEGORY-POWER: LOW");
    httplib::Result second = client.Post("/api/logs", other, "text/plain");
    REQUIRE(second);
    REQUIRE_MESSAGE(second->status == 201, second->body);

    httplib::Result byCall = client.Get("/logs");
    REQUIRE(byCall);
    CHECK(byCall->status == 200);
    CHECK(byCall->body.find("RK3AZ") < byCall->body.find("UA3LZ"));
    CHECK(byCall->body.find("example.org") == std::string::npos);
    CHECK(byCall->body.find("2 logs received") != std::string::npos);
    CHECK(byCall->body.find("<tr><td>SINGLE-OP ALL HIGH</td><td class=\"num\">1</td></tr>") != std::string::npos);

    httplib::Result byQsos = client.Get("/logs?sort=qsos&order=asc");
    REQUIRE(byQsos);
    CHECK(byQsos->body.find("UA3LZ") < byQsos->body.find("RK3AZ"));
    httplib::Result bogus = client.Get("/logs?sort=%3Cscript%3E&order=sideways");
    REQUIRE(bogus);
    CHECK(bogus->status == 200);
    CHECK(bogus->body.find("<script>") == std::string::npos);

    httplib::Result json = client.Get("/api/logs");
    REQUIRE(json);
    CHECK(json->body.find("example.org") == std::string::npos);
    const nlohmann::json logs = nlohmann::json::parse(json->body);
    CHECK(logs["logs"].size() == 2);
    CHECK(logs["categories"]["SINGLE-OP ALL HIGH"] == 1);
    CHECK(logs["logs"][0]["call"] == "RK3AZ");
}

TEST_CASE("text from a log is escaped on every page it reaches")
{
    HttpRobot http({5, true});
    httplib::Client client = http.client();
    const std::string hostile = "<script>alert('x')</script>";
    // In a QSO line: refused, and the line quoted on the check page.
    const std::string badLine = cabrillo("RK3AZ", {"QSO:  3520 CW 2026-11-21 1500 RK3AZ 599 001 " + hostile + " 599 001"});
    httplib::Result check = client.Post("/upload", logForm(badLine));
    REQUIRE(check);
    CHECK(check->status == 422);
    CHECK(check->body.find(hostile) == std::string::npos);
    CHECK(check->body.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;") != std::string::npos);
    // As the call; whatever the check makes of it, it never comes back as markup.
    httplib::Result asCall = client.Post("/upload", logForm(cabrillo(hostile, {qso("RK3AZ", "1500", "RA3XA", 1, 1)})));
    REQUIRE(asCall);
    CHECK(asCall->body.find("<script>") == std::string::npos);

    // A category value and a proxy's address reach the public list and the committee page.
    const std::string odd = cabrillo("UA3LZ", {qso("UA3LZ", "1500", "RK3AZ", 1, 1)}, "SINGLE-OP\nCATEGORY-POWER: " + hostile);
    httplib::Result sent = client.Post("/api/logs", {{"X-Forwarded-For", hostile}}, odd, "text/plain");
    REQUIRE(sent);
    for (const char* path : {"/logs", "/"}) {
        httplib::Result page = client.Get(path);
        REQUIRE(page);
        CHECK_MESSAGE(page->body.find("<script>alert") == std::string::npos, path);
    }
    const CommitteeLogin login = committeeLogin(http);
    httplib::Result committee = client.Get("/committee", {{"Cookie", login.cookie}});
    REQUIRE(committee);
    CHECK(committee->body.find("UA3LZ") != std::string::npos);
    CHECK(committee->body.find("<script>alert") == std::string::npos);
}

TEST_CASE("a contest with a deadline: the time left on the page, then uploads refused")
{
    HttpRobot http({}, "[contest]\nname = Test <Party>\nstart = 2026-11-21 15:00\nend = 2026-11-21 18:00\n"
                       "deadline = 2026-11-22 12:00\n");
    httplib::Client client = http.client();
    httplib::Result open = client.Get("/");
    REQUIRE(open);
    CHECK(open->body.find("Test &lt;Party&gt;: send your log") != std::string::npos);
    CHECK(open->body.find("Logs are due by 2026-11-22 12:00 UTC.") != std::string::npos);
    // The script counts down from data-seconds; without it the text stands.
    CHECK(open->body.find("<span id=\"time-left\" data-seconds=\"7200\">2 h 0 min</span> left") !=
          std::string::npos);

    http.test.now = utc("2026-11-22 12:01");
    httplib::Result closed = client.Get("/");
    REQUIRE(closed);
    CHECK(closed->body.find("Uploads are closed") != std::string::npos);
    CHECK(closed->body.find("time-left") == std::string::npos);
    httplib::Result late = client.Post("/upload", logForm(sampleLog("cbr")));
    REQUIRE(late);
    CHECK(late->status == 403);
}
