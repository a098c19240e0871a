#include "tools/logs/LogFile.h"

#include <doctest/doctest.h>

#include <string>

using namespace korvane;

TEST_CASE("the log format is told by content")
{
    struct Case {
        std::string text;
        LogFormat format;
    };
    const Case cases[] = {
        /* 1 */ {"START-OF-LOG: 3.0\nQSO: ...", LogFormat::Cabrillo},
        /* 2 */ {"\r\n  start-of-log: 2.0\n", LogFormat::Cabrillo},
        /* 3 */ {"\xEF\xBB\xBFSTART-OF-LOG: 3.0\n", LogFormat::Cabrillo},
        /* 4 */ {"any header text\n<adif_ver:5>3.1.4\n<eoh>\n", LogFormat::Adif},
        /* 5 */ {"<CALL:5>UA1AA <EOR>", LogFormat::Adif},
        /* 6 */ {"CALL,DATE,TIME\nUA1AA,20261121,1500\n", LogFormat::Unknown},
        /* 7 */ {"<html><body>START-OF-LOG:</body></html>", LogFormat::Unknown},
        /* 8 */ {"", LogFormat::Unknown},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        CHECK(detectFormat(c.text) == c.format);
    }
}

TEST_CASE("input that is no log at all fails with a reason")
{
    std::string binary = "\x7f" "ELF\x01\x01";
    binary += std::string(200, '\0') + "\xff\xfe<";
    struct Case {
        std::string text;
        const char* why;
    };
    const Case cases[] = {
        /* 1 */ {"", "empty"},
        /* 2 */ {" \r\n\t\n", "empty"},
        /* 3 */ {binary, "binary"},
        /* 4 */ {"CALL,DATE,TIME\n", "neither"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const LogFileResult r = readLogText(c.text);
        CHECK_FALSE(r.ok);
        CHECK(r.error.find(c.why) != std::string::npos);
    }
    CHECK_FALSE(readLogFile("/nonexistent/korvane/log.adi").ok);
    CHECK(readLogText("START-OF-LOG: 3.0\nEND-OF-LOG:\n").ok); // readable, if without QSOs
}
