// Text rules of the report: replaceAll, the file name's stem and the writer form of the
// multi-line fields (their stored form: tests/contract/settings_text_test.cpp).
#include "cabrillo/ReportText.h"

#include <doctest/doctest.h>

using namespace cabrillo;

TEST_CASE("replaceAll: left to right, no overlap, replacement never searched again")
{
    struct Row {
        const char* source;
        const char* search;
        const char* replacement;
        const char* expected;
    };
    const Row rows[] = {
        /* 1 */ {"a/b/c", "/", "_", "a_b_c"},
        /* 2 */ {"aaaa", "aa", "b", "bb"},
        /* 3 */ {"aaa", "aa", "b", "ba"},        // no overlap: the rest is "a"
        /* 4 */ {"xax", "a", "aa", "xaax"},      // the replacement holds the search text
        /* 5 */ {"<CR><CR>", "<CR>", "\r", "\r\r"},
        /* 6 */ {"abc", "d", "e", "abc"},
        /* 7 */ {"", "a", "b", ""},
        /* 8 */ {"abc", "abc", "", ""},
        /* 9 */ {"same", "m", "m", "same"},      // equal texts: unchanged
        /* 10 */ {"abc", "", "x", "abc"},        // an empty search changes nothing
        /* 11 */ {"a<LF>b<LF>", "<LF>", "", "ab"},
    };
    for (const Row& r : rows) {
        CAPTURE(r.source);
        CAPTURE(r.search);
        CHECK(replaceAll(r.source, r.search, r.replacement) == r.expected);
    }
    // Bytes after a NUL are text like any other.
    CHECK(replaceAll(std::string("a\0/b", 4), "/", "_") == std::string("a\0_b", 4));
}

TEST_CASE("file stem from the own callsign")
{
    struct Row {
        const char* ownCall;
        const char* expected;
    };
    const Row rows[] = {
        /* 1 */ {"RA3XYZ", "RA3XYZ"},
        /* 2 */ {"RA3XYZ/P", "RA3XYZ_P"},
        /* 3 */ {"UA9\\M", "UA9_M"},
        /* 4 */ {"  RA3XYZ \t", "RA3XYZ"},
        /* 5 */ {"\r\n\v\f RA3 XYZ \n", "RA3 XYZ"},   // inner blanks stay
        /* 6 */ {"", "MOLTA"},
        /* 7 */ {" \t\r\n", "MOLTA"},
        /* 8 */ {"/", "_"},                            // slashes are replaced before trimming
        /* 9 */ {"A<B>C:D\"E|F?G*H", "A_B_C_D_E_F_G_H"},
        /* 10 */ {"RA3\x01X\x1FY\tZ", "RA3_X_Y_Z"},     // control bytes inside
        /* 11 */ {"C:", "C_"},                          // no drive, no alternate stream
        /* 12 */ {"CON", "CON_"},
        /* 13 */ {"con", "con_"},
        /* 14 */ {"Nul", "Nul_"},
        /* 15 */ {"PRN", "PRN_"},
        /* 16 */ {"aux", "aux_"},
        /* 17 */ {"COM1", "COM1_"},
        /* 18 */ {"com9", "com9_"},
        /* 19 */ {"LPT5", "LPT5_"},
        /* 20 */ {"COM0", "COM0"},
        /* 21 */ {"COM10", "COM10"},
        /* 22 */ {"CONS", "CONS"},
        /* 23 */ {"CON.X", "CON_.X"},                   // the stem before the dot counts
        /* 24 */ {"LPT1/P", "LPT1_P"},
        /* 25 */ {" CON ", "CON_"},
        /* 26 */ {"\xC0\xC1", "\xC0\xC1"},             // code-page letters stay
        /* 27 */ {"\x7F", "\x7F"},                      // DEL is allowed in file names
        /* 28 */ {"CON.X.Y", "CON_.X.Y"},               // the first dot, not the last
        /* 29 */ {"nul.a.b.c", "nul_.a.b.c"},
        // Blanks (and dots) at the end of the part before the first dot do not stop
        // Windows from opening the device. The "_" still goes right before that dot,
        // after the blanks: "NUL _" is no device name.
        /* 30 */ {"NUL .X", "NUL _.X"},
        /* 31 */ {"AUX .", "AUX _."},
        /* 32 */ {"con   .x", "con   _.x"},
        /* 33 */ {"COM7 . .X", "COM7 _. .X"},
        /* 34 */ {"LPT9\t.X", "LPT9_.X"},                // a tab became "_" first: no device
        /* 35 */ {"CON X", "CON X"},                     // a blank inside is part of the name
        /* 36 */ {"CONIN$", "CONIN$_"},
        /* 37 */ {"conout$", "conout$_"},
        /* 38 */ {"CONOUT$ .X", "CONOUT$ _.X"},
        /* 39 */ {"CONIN", "CONIN"},
        /* 40 */ {"CONOUT$$", "CONOUT$$"},
        /* 41 */ {".CON", ".CON"},                        // the part before the dot is empty
        /* 42 */ {"PRN..", "PRN_.."},
    };
    int number = 0;
    for (const Row& r : rows) {
        ++number;
        CAPTURE(number);
        CHECK(fileBaseName(r.ownCall) == r.expected);
    }
}

TEST_CASE("multi-line fields: the writer form of the stored form")
{
    CHECK(storedToWriter("A<CR><LF>B", "ADDRESS") == "A\r\nADDRESS: B");
    CHECK(storedToWriter("A<CR><LF>", "ADDRESS") == "A\r\nADDRESS: ");
    CHECK(storedToWriter("A<LF>B", "SOAPBOX") == "AB"); // a lone line feed just goes
    CHECK(storedToWriter("one<CR><LF>two<CR><LF>three", "SOAPBOX") ==
          "one\r\nSOAPBOX: two\r\nSOAPBOX: three");
    CHECK(storedToWriter("", "SOAPBOX").empty());
}
