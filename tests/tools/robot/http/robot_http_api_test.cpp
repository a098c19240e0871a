// The JSON API as a logger or a script uses it: the log as the body or as a form file,
// the answers' status codes and fields, and the refusals of bad input.
#include "HttpRobot.h"

#include <doctest/doctest.h>

#include <nlohmann/json.hpp>

using namespace robottest;
using nlohmann::json;

namespace {

json jsonOf(const httplib::Result& res)
{
    REQUIRE(res);
    CHECK(res->get_header_value("Content-Type") == "application/json");
    const json body = json::parse(res->body, nullptr, false);
    REQUIRE_MESSAGE(!body.is_discarded(), res->body);
    return body;
}

} // namespace

TEST_CASE("a log as the body is receipted; the same bytes again give the same receipt")
{
    HttpRobot http;
    httplib::Client client = http.client();
    httplib::Result first = client.Post("/api/logs", sampleLog("adi"), "application/octet-stream");
    const json receipted = jsonOf(first);
    CHECK(first->status == 201);
    CHECK(receipted["status"] == "receipted");
    CHECK(receipted["same_as_before"] == false);
    CHECK(receipted["check"]["accepted"] == true);
    CHECK(receipted["check"]["format"] == "ADIF");
    CHECK(receipted["check"]["call"] == "RK3AZ");
    CHECK(receipted["check"]["qsos"] == 314);
    CHECK(!receipted["check"]["conversion"].empty());
    const json& receipt = receipted["receipt"];
    CHECK(receipt["url"] == "/receipts/" + receipt["id"].get<std::string>());
    CHECK(receipt["sha256"].get<std::string>().size() == 64);
    CHECK(receipt["qsos"] == 314);
    CHECK(receipt["refused"].size() == 4);
    CHECK(receipt["refused"][0]["line"].is_number());
    CHECK(receipt["late"] == false);
    CHECK(receipt["replaced"] == false);

    httplib::Result second = client.Post("/api/logs", sampleLog("adi"), "text/plain");
    const json again = jsonOf(second);
    CHECK(second->status == 200);
    CHECK(again["same_as_before"] == true);
    CHECK(again["receipt"]["id"] == receipt["id"]);

    // As curl --data-binary sends it, form-encoded by its header, and as a form file.
    httplib::Result urlEncoded = client.Post("/api/logs", sampleLog("adi"), "application/x-www-form-urlencoded");
    CHECK(jsonOf(urlEncoded)["receipt"]["id"] == receipt["id"]);
    httplib::Result form = client.Post("/api/logs", logForm(sampleLog("cbr")));
    const json fromForm = jsonOf(form);
    CHECK(form->status == 201);
    CHECK(fromForm["check"]["format"] == "Cabrillo 3.0");

    // Two files named "log" in one form are not joined into one log: the first counts.
    httplib::MultipartFormDataItems two{{"log", sampleLog("cbr"), "a.cbr", ""}, {"log", "QSO: junk\n", "b.cbr", ""}};
    httplib::Result firstOfTwo = client.Post("/api/logs", two);
    REQUIRE(firstOfTwo);
    CHECK(firstOfTwo->status == 200);
    CHECK(jsonOf(firstOfTwo)["receipt"]["id"] == fromForm["receipt"]["id"]);

    httplib::Result byId = client.Get("/api/receipts/" + receipt["id"].get<std::string>());
    CHECK(byId->status == 200);
    CHECK(jsonOf(byId)["sha256"] == receipt["sha256"]);
    httplib::Result none = client.Get("/api/receipts/nothing");
    CHECK(none->status == 404);
    CHECK(jsonOf(none)["status"] == "not-found");
}

TEST_CASE("logs the check refuses: errors by line, nothing stored")
{
    HttpRobot http;
    httplib::Client client = http.client();
    const std::string utf16("\xFF\xFES\0T\0A\0R\0T\0-\0O\0F\0-\0L\0O\0G\0:\0 \0" "3\0.\0" "0\0\r\0\n\0", 40);
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) & 0xFF);
    // One station per log: QSO lines sent by another call than CALLSIGN.
    const std::string otherStation =
        cabrillo("RK3AZ", {qso("RK3AZ", "1500", "RA3XA", 1, 1), qso("UA3LZ", "1501", "UR5SI", 2, 1)});
    const std::string noCall = cabrillo("", {qso("RK3AZ", "1500", "RA3XA", 1, 1)});
    for (const std::string& log : {utf16, binary, otherStation, noCall, std::string("\0\0\0", 3)}) {
        httplib::Result res = client.Post("/api/logs", log, "application/octet-stream");
        const json body = jsonOf(res);
        CHECK(res->status == 422);
        CHECK(body["status"] == "refused");
        CHECK(body["check"]["accepted"] == false);
        REQUIRE(!body["check"]["errors"].empty());
        CHECK(body["check"]["errors"][0]["line"].is_number());
        CHECK(!body["check"]["errors"][0]["message"].get<std::string>().empty());
        CHECK(!body.contains("receipt"));
    }
    // The other station's QSO is named by its line.
    const json other = jsonOf(client.Post("/api/logs", otherStation, "text/plain"));
    bool line6 = false;
    for (const json& e : other["check"]["errors"])
        line6 = line6 || e["line"] == kFirstQsoLine + 1;
    CHECK(line6);
    CHECK(http.test.robot->submissions().empty());
}

TEST_CASE("the API's refusals: nothing sent, over 5 MB, over the body limit, window closed")
{
    HttpRobot http;
    httplib::Client client = http.client();
    httplib::Result empty = client.Post("/api/logs", "", "text/plain");
    CHECK(empty->status == 400);
    CHECK(jsonOf(empty)["status"] == "bad-request");

    httplib::Result over = client.Post("/api/logs", std::string((5u << 20) + 1, 'Q'), "text/plain");
    CHECK(over->status == 413);
    CHECK(jsonOf(over)["status"] == "too-large");
    // Past what the server reads at all: refused from its length, unread.
    httplib::Result far = client.Post("/api/logs", std::string(6u << 20, 'Q'), "text/plain");
    REQUIRE(far);
    CHECK(far->status == 413);
    httplib::Result farForm = client.Post("/committee/login", std::string(6u << 20, 'Q'), "text/plain");
    REQUIRE(farForm);
    CHECK(farForm->status == 413);

    std::string error;
    REQUIRE(http.test.robot->setWindow(WindowMode::Closed, &error));
    httplib::Result closed = client.Post("/api/logs", sampleLog("cbr"), "text/plain");
    CHECK(closed->status == 403);
    const json body = jsonOf(closed);
    CHECK(body["status"] == "window-closed");
    CHECK(!body["message"].get<std::string>().empty());
}

TEST_CASE("the contest and its window")
{
    HttpRobot http;
    httplib::Client client = http.client();
    const json contest = jsonOf(client.Get("/api/contest"));
    CHECK(contest["name"] == "KORVANE");
    CHECK(contest["start_utc"] == "2026-11-21 15:00");
    CHECK(contest["end_utc"] == "2026-11-21 18:00");
    CHECK(contest["deadline_utc"] == "");
    CHECK(contest["window"]["open"] == true);
    CHECK(contest["window"]["mode"] == "automatic");
    CHECK(contest["window"]["seconds_left"] == -1);
}
