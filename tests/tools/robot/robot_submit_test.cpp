// Uploads from the entrant's side: the receipt, the same bytes again, a new log for the
// same call, the window, the size limit and many senders at once.
#include "RobotTestSupport.h"
#include "tools/robot/LogChecker.h"

#include <doctest/doctest.h>

#include <atomic>
#include <set>
#include <thread>

using namespace robottest;
using Status = SubmitOutcome::Status;

TEST_CASE("the sample ADIF log is converted, scored without its refused repeats and receipted")
{
    TestRobot t;
    const std::string adif = bundledFile("korvane-2026-RK3AZ.adi");
    const SubmitOutcome out = t.robot->submit(adif, "192.0.2.1");
    REQUIRE_MESSAGE(out.status == Status::Receipted, out.message);
    const Receipt& r = *out.receipt;
    CHECK(r.id.size() == 22);
    CHECK(r.sha256.size() == 64);
    CHECK(r.call == "RK3AZ");
    CHECK(r.qsos == 314);
    CHECK(r.format == "ADIF");
    // The plug-in's table says 445; the four repeats its tour rule refuses do not count.
    CHECK(r.claimedScore == 441);
    CHECK(r.refused.size() == 4);
    for (const RefusedQso& q : r.refused) {
        CHECK(q.line > 0);
        CHECK(!q.message.empty());
        CHECK(q.time.rfind("2026-11-21 ", 0) == 0);
    }
    CHECK(r.receivedUtc == "2026-11-22 10:00:00");
    CHECK_FALSE(r.replaced);
    CHECK_FALSE(r.conversion.empty());
    CHECK(out.check.cabrillo.rfind("START-OF-LOG: 3.0", 0) == 0);

    // Kept byte for byte, and the receipt is there after a restart.
    t.reopen();
    const std::optional<Receipt> again = t.robot->receipt(r.id);
    REQUIRE(again);
    CHECK(again->claimedScore == 441);
    CHECK(again->refused.size() == 4);
    const std::vector<Submission> all = t.robot->submissions();
    REQUIRE(all.size() == 1);
    CHECK(t.robot->submissionBytes(all[0].number) == adif);
    CHECK(all[0].clientAddress == "192.0.2.1");
    CHECK_FALSE(t.robot->receipt("AAAAAAAAAAAAAAAAAAAAAA"));
}

TEST_CASE("the converted ADIF log reads back as the same log")
{
    TestRobot t;
    const SubmitOutcome adif = t.robot->submit(bundledFile("korvane-2026-RK3AZ.adi"), "a");
    REQUIRE(adif.status == Status::Receipted);
    const LogCheck back = checkLog(adif.check.cabrillo, t.contest).check;
    CHECK(back.accepted);
    CHECK(back.format == "Cabrillo 3.0");
    CHECK(back.qsos == 314);
    CHECK(back.call == "RK3AZ");
    // The converted text and the bundled Cabrillo sample claim the same.
    const SubmitOutcome converted = t.robot->submit(adif.check.cabrillo, "a");
    REQUIRE(converted.status == Status::Receipted);
    CHECK(converted.receipt->claimedScore == 441);
    const SubmitOutcome cbr = t.robot->submit(bundledFile("korvane-2026-RK3AZ.cbr"), "a");
    REQUIRE(cbr.status == Status::Receipted);
    CHECK(cbr.receipt->format == "Cabrillo 3.0");
    CHECK(cbr.receipt->claimedScore == 441);
    CHECK(cbr.receipt->refused.size() == 4);
    CHECK(cbr.receipt->conversion.empty());
    CHECK(cbr.receipt->category != "UNSPECIFIED");
}

TEST_CASE("the same bytes twice give the same receipt; a new log replaces the old for judging")
{
    TestRobot t;
    const std::string first = cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1), qso("RA3XA", "1502", "RK3AZ", 2, 7)});
    const std::string second = cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1)});
    const SubmitOutcome a = t.robot->submit(first, "a");
    REQUIRE_MESSAGE(a.status == Status::Receipted, a.message);
    const SubmitOutcome again = t.robot->submit(first, "b");
    REQUIRE(again.status == Status::Receipted);
    CHECK(again.sameAsBefore);
    CHECK(again.receipt->id == a.receipt->id);
    CHECK(t.robot->submissions().size() == 1);

    const SubmitOutcome b = t.robot->submit(second, "a");
    REQUIRE(b.status == Status::Receipted);
    CHECK_FALSE(b.sameAsBefore);
    CHECK(b.receipt->id != a.receipt->id);
    CHECK(t.robot->receipt(a.receipt->id)->replaced);
    CHECK_FALSE(t.robot->receipt(b.receipt->id)->replaced);
    const std::vector<Submission> all = t.robot->submissions();
    REQUIRE(all.size() == 2);
    CHECK_FALSE(all[0].latest);
    CHECK(all[1].latest);
    const std::vector<ReceivedLog> received = t.robot->logsReceived();
    REQUIRE(received.size() == 1);
    CHECK(received[0].qsos == 1);

    // Sending the first log again makes it the one judged, under its first receipt.
    const SubmitOutcome back = t.robot->submit(first, "a");
    CHECK(back.receipt->id == a.receipt->id);
    CHECK_FALSE(back.receipt->replaced);
    CHECK(t.robot->logsReceived()[0].qsos == 2);
    CHECK(t.robot->submissions().size() == 2);
}

TEST_CASE("a refused log is not stored and says why")
{
    TestRobot t;
    const SubmitOutcome out = t.robot->submit(cabrillo("RA3XA", {"QSO: garbage"}), "a");
    CHECK(out.status == Status::Refused);
    CHECK(out.message.find("error") != std::string::npos);
    CHECK_FALSE(out.receipt);
    CHECK(t.robot->submissions().empty());
}

TEST_CASE("an upload over the limit is refused unread")
{
    TestRobot t;
    const std::string big(5u << 20 | 1, 'A');
    const SubmitOutcome out = t.robot->submit(big, "a");
    CHECK(out.status == Status::TooLarge);
    CHECK(out.check.lines.empty()); // never parsed
    CHECK(t.robot->submissions().empty());
    CHECK(std::string(statusName(out.status)) == "too-large");
    CHECK(out.message.find("5 MB") != std::string::npos);
}

TEST_CASE("outside the window a log is kept for the committee, who may accept it")
{
    TestRobot t("[contest]\nname = TEST\nstart = 2026-11-21 15:00\nend = 2026-11-21 18:00\ndeadline = 2026-11-28 23:59\n");
    const std::string log = cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1)});

    t.now = utc("2026-11-21 14:00");
    WindowState w = t.robot->window();
    CHECK_FALSE(w.open);
    CHECK(w.why.find("not started") != std::string::npos);

    t.now = utc("2026-11-28 23:58");
    w = t.robot->window();
    CHECK(w.open);
    CHECK(w.secondsLeft == 60);

    t.now = utc("2026-11-29 00:00");
    const SubmitOutcome late = t.robot->submit(log, "a");
    CHECK(late.status == Status::WindowClosed);
    CHECK(late.message.find("deadline") != std::string::npos);
    CHECK_FALSE(late.receipt);
    CHECK(t.robot->submit(log, "a").status == Status::WindowClosed); // kept once
    std::vector<Submission> all = t.robot->submissions();
    REQUIRE(all.size() == 1);
    CHECK(all[0].late);
    CHECK_FALSE(all[0].accepted);
    CHECK(all[0].receiptId.empty());
    CHECK(t.robot->logsReceived().empty());

    std::string error;
    REQUIRE_MESSAGE(t.robot->acceptLate(all[0].number, &error), error);
    CHECK_FALSE(t.robot->acceptLate(all[0].number, &error));
    CHECK_FALSE(t.robot->acceptLate(999, &error));
    all = t.robot->submissions();
    CHECK(all[0].accepted);
    CHECK(all[0].latest);
    const std::optional<Receipt> r = t.robot->receipt(all[0].receiptId);
    REQUIRE(r);
    CHECK(r->late);
    CHECK(t.robot->logsReceived().size() == 1);

    // A late log sent again once the window is open gets its receipt then.
    const std::string other = cabrillo("UR5SI", {qso("UR5SI", "1501", "RA3XA", 1, 1)});
    CHECK(t.robot->submit(other, "a").status == Status::WindowClosed);
    t.now = utc("2026-11-25 12:00");
    const SubmitOutcome inTime = t.robot->submit(other, "a");
    REQUIRE(inTime.status == Status::Receipted);
    CHECK_FALSE(inTime.receipt->replaced);
    CHECK_FALSE(inTime.receipt->late);
    CHECK(t.robot->submissions().size() == 2);
    t.now = utc("2026-11-29 00:00");

    // The committee's hand beats the calendar both ways.
    REQUIRE(t.robot->setWindow(WindowMode::Open, &error));
    CHECK(t.robot->window().open);
    CHECK(t.robot->submit(cabrillo("UA9YKQ", {qso("UA9YKQ", "1501", "RA3XA", 1, 1)}), "a").status == Status::Receipted);
    t.now = utc("2026-11-22 10:00");
    REQUIRE(t.robot->setWindow(WindowMode::Closed, &error));
    CHECK_FALSE(t.robot->window().open);
    CHECK(t.robot->submit(cabrillo("RK3AZ", {qso("RK3AZ", "1501", "RA3XA", 1, 1)}), "a").status == Status::WindowClosed);
}

TEST_CASE("the built-in contest keeps the window open on any day after its start")
{
    TestRobot t;
    t.now = utc("2031-06-01 12:00");
    const WindowState w = t.robot->window();
    CHECK(w.open);
    CHECK(w.deadlineUtc.empty());
    CHECK(w.secondsLeft == -1);
    t.now = utc("2026-11-21 14:59");
    CHECK_FALSE(t.robot->window().open);
}

TEST_CASE("eight senders at once: every log receipted, the plug-in called from one thread")
{
    TestRobot t;
    const char* calls[] = {"RA3XA", "UA9YKQ", "RK3VWL", "UR5SI", "EW1ZK", "RA3EXM", "UA3LZ", "RK3AZ"};
    std::vector<std::string> logs;
    for (const char* call : calls)
        logs.push_back(cabrillo(call, {qso(call, "1501", "RA9AA", 1, 1), qso(call, "1502", "RA9AB", 2, 1),
                                       qso(call, "1503", "RA9AA", 3, 2, 7020)}));
    std::vector<SubmitOutcome> outs(logs.size() * 2);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < logs.size(); ++i)
        threads.emplace_back([&, i] {
            outs[2 * i] = t.robot->submit(logs[i], "a");
            outs[2 * i + 1] = t.robot->submit(logs[i], "a");
        });
    for (std::thread& th : threads)
        th.join();
    std::set<std::string> ids;
    for (std::size_t i = 0; i < logs.size(); ++i) {
        REQUIRE_MESSAGE(outs[2 * i].status == Status::Receipted, outs[2 * i].message);
        CHECK(outs[2 * i + 1].receipt->id == outs[2 * i].receipt->id);
        ids.insert(outs[2 * i].receipt->id);
    }
    CHECK(ids.size() == logs.size());
    CHECK(t.robot->submissions().size() == logs.size());
    CHECK(t.robot->logsReceived().size() == logs.size());
    CHECK(t.robot->pluginThreads() == 1);

    // Scored alone, one after the other, each log claims what it claimed in the crowd.
    t.robot.reset();
    TestRobot alone;
    for (std::size_t i = 0; i < logs.size(); ++i)
        CHECK(alone.robot->submit(logs[i], "a").receipt->claimedScore == outs[2 * i].receipt->claimedScore);
}

TEST_CASE("after the deadline, bytes sent before get their receipt back and change nothing judged")
{
    TestRobot t("[contest]\nname = TEST\nstart = 2026-11-21 15:00\nend = 2026-11-21 18:00\ndeadline = 2026-11-28 23:59\n");
    const std::string a = cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1), qso("RA3XA", "1502", "RK3AZ", 2, 7)});
    const std::string b = cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1)});
    const SubmitOutcome first = t.robot->submit(a, "x");
    REQUIRE(first.status == Status::Receipted);
    REQUIRE(t.robot->submit(b, "x").status == Status::Receipted);

    t.now = utc("2026-11-29 00:00");
    const SubmitOutcome resent = t.robot->submit(a, "x");
    CHECK(resent.status == Status::Receipted);
    CHECK(resent.sameAsBefore);
    REQUIRE(resent.receipt);
    CHECK(resent.receipt->id == first.receipt->id);
    CHECK(resent.receipt->replaced);
    CHECK(resent.message.find("stays as it was") != std::string::npos);
    const std::vector<Submission> all = t.robot->submissions();
    REQUIRE(all.size() == 2);
    CHECK_FALSE(all[0].latest);
    CHECK(all[1].latest);
    CHECK(t.robot->logsReceived()[0].qsos == 1);
}

TEST_CASE("a late upload is kept unscored under a number; before the start it is not called late")
{
    TestRobot t("[contest]\nname = TEST\nstart = 2026-11-21 15:00\nend = 2026-11-21 18:00\ndeadline = 2026-11-28 23:59\n");
    const std::string log = cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1), qso("RA3XA", "1502", "RK3AZ", 2, 7)});

    t.now = utc("2026-11-29 00:00");
    const SubmitOutcome late = t.robot->submit(log, "x");
    REQUIRE(late.status == Status::WindowClosed);
    CHECK(late.keptAs == 1);
    CHECK(late.message.find("upload 1") != std::string::npos);
    std::vector<Submission> all = t.robot->submissions();
    REQUIRE(all.size() == 1);
    // Never waited on the plug-in: scored once the committee takes it.
    CHECK(all[0].claimedScore == 0);
    CHECK_FALSE(all[0].early);
    std::string error;
    REQUIRE_MESSAGE(t.robot->acceptLate(1, &error), error);
    all = t.robot->submissions();
    CHECK(all[0].claimedScore > 0);
    CHECK(t.robot->receipt(all[0].receiptId)->claimedScore == all[0].claimedScore);

    t.now = utc("2026-11-21 14:00");
    const SubmitOutcome early = t.robot->submit(cabrillo("UR5SI", {qso("UR5SI", "1501", "RA3XA", 1, 1)}), "x");
    REQUIRE(early.status == Status::WindowClosed);
    CHECK(early.keptAs == 2);
    CHECK(early.message.find("not started") != std::string::npos);
    all = t.robot->submissions();
    REQUIRE(all.size() == 2);
    CHECK(all[1].late);
    CHECK(all[1].early);
    REQUIRE_MESSAGE(t.robot->acceptLate(2, &error), error);
    CHECK(t.robot->receipt(t.robot->submissions()[1].receiptId)->early);
}
