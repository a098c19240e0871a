// The log check: every finding on the line it is about, the line quoted, errors before
// warnings; what is refused and what is only said.
#include "RobotTestSupport.h"
#include "tools/judge/ContestDefinitionFile.h"
#include "tools/robot/LogChecker.h"

#include <doctest/doctest.h>

using namespace robottest;
using Level = CheckLine::Level;

namespace {

LogCheck checked(const std::string& text) { return checkLog(text, judge::korvaneContest()).check; }

} // namespace

TEST_CASE("files that are no text log are refused on line 0")
{
    SUBCASE("binary")
    {
        const LogCheck c = checked(std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10));
        CHECK_FALSE(c.accepted);
        CHECK(findingOn(c, Level::Error, 0).message.find("binary") != std::string::npos);
    }
    SUBCASE("UTF-16 with its byte-order mark")
    {
        std::string utf16 = "\xFF\xFE";
        for (char ch : cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1)})) {
            utf16 += ch;
            utf16 += '\0';
        }
        const LogCheck c = checked(utf16);
        CHECK_FALSE(c.accepted);
        CHECK(findingOn(c, Level::Error, 0).message.find("UTF-16") != std::string::npos);
    }
    SUBCASE("UTF-16 without one")
    {
        std::string utf16;
        for (char ch : std::string("START-OF-LOG: 3.0\nCALLSIGN: RA3XA\n")) {
            utf16 += '\0';
            utf16 += ch;
        }
        CHECK(findingOn(checked(utf16), Level::Error, 0).message.find("UTF-16") != std::string::npos);
    }
    SUBCASE("empty, or text of neither format")
    {
        CHECK_FALSE(checked("").accepted);
        CHECK_FALSE(checked("Dear committee, my log is attached.\n").accepted);
    }
}

TEST_CASE("the station's call: missing, not a call, or another station's QSOs")
{
    SUBCASE("no CALLSIGN line")
    {
        const LogCheck c = checked("START-OF-LOG: 3.0\n" + qso("RA3XA", "1501", "UA9YKQ", 1, 1) + "\nEND-OF-LOG:\n");
        CHECK_FALSE(c.accepted);
        CHECK(findingOn(c, Level::Error, 0).message.find("CALLSIGN") != std::string::npos);
    }
    SUBCASE("a CALLSIGN that is no call is quoted on its line")
    {
        const LogCheck c = checked(cabrillo("599", {qso("599", "1501", "UA9YKQ", 1, 1)}));
        CHECK_FALSE(c.accepted);
        const CheckLine& l = findingOn(c, Level::Error, 3);
        CHECK(l.quoted == "CALLSIGN: 599");
        CHECK(l.message.find("does not look like a callsign") != std::string::npos);
    }
    SUBCASE("a CALLSIGN that is no call is refused even when the QSO lines name a call")
    {
        const LogCheck c = checked(cabrillo("<SCRIPT>", {qso("RK3AZ", "1501", "UA9YKQ", 1, 1)}));
        CHECK_FALSE(c.accepted);
        CHECK(findingOn(c, Level::Error, 3).message.find("does not look like a callsign") != std::string::npos);
    }
    SUBCASE("two stations in one Cabrillo log")
    {
        const LogCheck c = checked(cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1),
                                                      qso("RK3AZ", "1502", "UR5SI", 2, 1)}));
        CHECK_FALSE(c.accepted);
        const CheckLine& l = findingOn(c, Level::Error, kFirstQsoLine + 1);
        CHECK(l.message.find("one station per log") != std::string::npos);
        CHECK(l.message.find("RK3AZ") != std::string::npos);
        CHECK(l.quoted.find("RK3AZ") != std::string::npos);
    }
    SUBCASE("one station signing /P in the header and without it in the QSO lines")
    {
        const LogCheck c = checked(cabrillo("RA3XA/P", {qso("RA3XA", "1501", "UA9YKQ", 1, 1),
                                                        qso("RA3XA", "1502", "UR5SI", 2, 1)}));
        CHECK_MESSAGE(c.accepted, (c.lines.empty() ? "" : c.lines[0].message));
        CHECK(c.call == "RA3XA/P");
    }
    SUBCASE("two stations in one ADIF log")
    {
        const std::string adif =
            "<EOH>\n"
            "<CALL:6>UA9YKQ<QSO_DATE:8>20261121<TIME_ON:4>1501<BAND:3>80m<MODE:2>CW<STX:3>001<SRX:3>001<STATION_CALLSIGN:5>RA3XA<EOR>\n"
            "<CALL:5>UR5SI<QSO_DATE:8>20261121<TIME_ON:4>1502<BAND:3>80m<MODE:2>CW<STX:3>002<SRX:3>001<STATION_CALLSIGN:5>RK3AZ<EOR>\n";
        const LogCheck c = checked(adif);
        CHECK_FALSE(c.accepted);
        CHECK(findingOn(c, Level::Error, 3).message.find("one station per log") != std::string::npos);
    }
}

TEST_CASE("QSO lines: unreadable ones are errors, ones that will not count are warnings")
{
    judge::ContestDefinition lowBands = judge::korvaneContest();
    std::string error;
    REQUIRE(judge::readContestDefinition("[contest]\nbands = 160M 80M\n", lowBands, &error));
    const LogCheck c = checkLog(cabrillo("RA3XA", {
                                                      qso("RA3XA", "1501", "UA9YKQ", 1, 1),
                                                      "QSO: 3520 CW 2026-11-21 1502 RA3XA 599 002 \x1b[2J",
                                                      qso("RA3XA", "1800", "UR5SI", 3, 1),
                                                      qso("RA3XA", "1503", "EW1ZK", 4, 1, 14020),
                                                  }),
                                lowBands)
                            .check;
    CHECK_FALSE(c.accepted);
    const CheckLine& broken = findingOn(c, Level::Error, kFirstQsoLine + 1);
    // A control character in the quote is written out, never sent as it is.
    CHECK(broken.quoted.find('\x1b') == std::string::npos);
    CHECK(broken.quoted.find("\\x1B") != std::string::npos);
    CHECK(findingOn(c, Level::Warning, kFirstQsoLine + 2).message.find("outside the contest period") != std::string::npos);
    CHECK(findingOn(c, Level::Warning, kFirstQsoLine + 3).message.find("not in KORVANE") != std::string::npos);
    // Errors first, then warnings, each by line.
    bool warningSeen = false;
    std::size_t lastLine = 0;
    for (const CheckLine& l : c.lines) {
        if (l.level == Level::Warning && !warningSeen) {
            warningSeen = true;
            lastLine = 0;
        }
        CHECK_FALSE((l.level == Level::Error && warningSeen));
        CHECK(l.line >= lastLine);
        lastLine = l.line;
    }
}

TEST_CASE("a log with only warnings is accepted; an exchange part missing is an error")
{
    const LogCheck ok = checked(cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1)}, "SINGLE-OP"));
    CHECK_MESSAGE(ok.accepted, (ok.lines.empty() ? "" : ok.lines[0].message));
    CHECK(ok.format == "Cabrillo 3.0");
    CHECK(ok.call == "RA3XA");
    CHECK(ok.qsos == 1);
    CHECK(ok.category.find("SINGLE-OP") != std::string::npos);

    judge::ContestDefinition named = judge::korvaneContest();
    std::string error;
    REQUIRE(judge::readContestDefinition("[contest]\nexchange = NAME:name NR:number\n", named, &error));
    const LogCheck missing = checkLog(cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1)}), named).check;
    CHECK_FALSE(missing.accepted);
    CHECK(findingOn(missing, Level::Error, kFirstQsoLine).message.find("lacks NR") != std::string::npos);
}

TEST_CASE("an unknown category value is a warning")
{
    const LogCheck c = checked(cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1)}, "SINGLE-BANANA"));
    CHECK(c.accepted);
    bool warned = false;
    for (const CheckLine& l : c.lines)
        warned = warned || (l.level == Level::Warning && l.message.find("SINGLE-BANANA") != std::string::npos);
    CHECK(warned);
}

TEST_CASE("thousands of bad lines: the list is bounded and the rest counted")
{
    std::vector<std::string> lines;
    for (int i = 0; i < 3000; ++i)
        lines.push_back("QSO: 3520 CW 2026-11-21 1502 RA3XA 599 002 \x01");
    const LogCheck c = checked(cabrillo("RA3XA", lines));
    CHECK_FALSE(c.accepted);
    CHECK(c.lines.size() < 120);
    bool counted = false;
    for (const CheckLine& l : c.lines)
        counted = counted || l.message.find("more lines like") != std::string::npos;
    CHECK(counted);
}

TEST_CASE("a flood of unreadable lines: the reader keeps a bounded few, and every one is counted")
{
    const std::size_t broken = 20000;
    // Another station's line: named by the check; the reader's word on it, past the kept
    // ones, can only be counted with them.
    std::vector<std::string> lines = {"QSO: 3520 CW 2026-11-21 1503 UR5SI 599 003 UA9YKQ 599 001"};
    lines.insert(lines.end(), broken, "QSO: 1");
    lines.push_back("QSO: 3520 CW 2026-11-21 1502 RA3XA 599 002 UA9YKQ 599 001");
    const CheckedLog c = checkLog(cabrillo("RA3XA", lines), judge::korvaneContest());
    CHECK_FALSE(c.check.accepted);
    CHECK(c.log.problems.size() <= 1000);
    CHECK(c.log.skippedRecords() == broken + 1);
    std::size_t listed = 0, counted = 0;
    for (const CheckLine& l : c.check.lines) {
        if (l.message.find("cannot be read") != std::string::npos) {
            ++listed;
            CHECK(l.quoted == "QSO: 1");
        }
        if (l.message.find("more lines like") != std::string::npos && l.level == Level::Error && counted == 0)
            counted = std::stoul(l.message.substr(4));
    }
    CHECK(listed + counted == broken + 1);
    const CheckLine& station = findingOn(c.check, Level::Error, kFirstQsoLine);
    CHECK(station.quoted.find("UR5SI") != std::string::npos);
}

TEST_CASE("an ADIF exchange of two words stays two words in the Cabrillo text")
{
    judge::ContestDefinition ntc = judge::korvaneContest();
    std::string error;
    REQUIRE(judge::readContestDefinition("[contest]\nname = NTC\nstart = 2024-03-21 19:00\nend = 2024-03-21 20:00\n"
                                         "exchange = NAME:name:constant NR:number:constant\n",
                                         ntc, &error));
    const std::string adif =
        "<EOH>\n"
        "<CALL:5>K1ABC<QSO_DATE:8>20240321<TIME_ON:4>1905<BAND:3>40m<MODE:2>CW<FREQ:5>7.030"
        "<STX_STRING:6>ANNA 7<SRX_STRING:9>HANS  124<STATION_CALLSIGN:4>W1AW<EOR>\n";
    const CheckedLog first = checkLog(adif, ntc);
    REQUIRE_MESSAGE(first.check.accepted, (first.check.lines.empty() ? "" : first.check.lines[0].message));
    REQUIRE(first.check.cabrillo.find("QSO:  7030 CW 2024-03-21 1905 W1AW") != std::string::npos);
    // No report in the record: the usual one, and the entrant is told.
    CHECK(first.check.cabrillo.find("W1AW          599 ANNA 7 K1ABC         599 HANS 124") != std::string::npos);
    bool told = false;
    for (const std::string& line : first.check.conversion)
        told = told || line.find("without a report") != std::string::npos;
    CHECK(told);
    const CheckedLog back = checkLog(first.check.cabrillo, ntc);
    REQUIRE(back.check.accepted);
    REQUIRE(back.log.qsos.size() == 1);
    CHECK(back.log.qsos[0].exchSent == "ANNA 7");
    CHECK(back.log.qsos[0].exchReceived == "HANS 124");
    CHECK(back.log.qsos[0].call == "K1ABC");
}

TEST_CASE("hostile uploads get an answer, never a crash")
{
    const std::string longCall(20000, 'A');
    const std::vector<std::string> uploads = {
        "\xEF\xBB\xBF" + cabrillo("RA3XA", {qso("RA3XA", "1501", "UA9YKQ", 1, 1)}), // byte-order mark
        "START-OF-LOG: 3.0\rCALLSIGN: RA3XA\r" + qso("RA3XA", "1501", "UA9YKQ", 1, 1) + "\rEND-OF-LOG:\r",
        cabrillo(longCall, {qso(longCall, "1501", "UA9YKQ", 1, 1)}),
        "START-OF-LOG: 3.0\nCALLSIGN: RA3XA\n" + std::string(100000, 'Q') + "\n",
        "<EOH><CALL:99999999999999999999>X<EOR>",
        "<EOH><STATION_CALLSIGN:5>RA3XA<STATION_CALLSIGN:999999>",
        std::string(1000, '\n'),
        "QSO:",
    };
    for (const std::string& upload : uploads) {
        const LogCheck c = checked(upload);
        for (const CheckLine& l : c.lines)
            CHECK(l.quoted.size() < 1000);
    }
    // The byte-order mark is no reason to refuse.
    CHECK(checked(uploads[0]).accepted);
    CHECK_FALSE(checked(uploads[2]).accepted);
}
