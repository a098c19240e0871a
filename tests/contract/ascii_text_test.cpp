// ASCII rules for callsigns, keys and tags: bytes of the host's code page never change
// case or count as letters, digits or spaces, whatever the locale.
#include "contract/AsciiText.h"

#include <doctest/doctest.h>

#include <string>

TEST_CASE("letter case and classes touch ASCII only")
{
    CHECK(ascii::upper("ra3xyz/p \xE0\xFF") == "RA3XYZ/P \xE0\xFF");
    CHECK(ascii::lower("<EOR> \xC0\xDF") == "<eor> \xC0\xDF");
    for (int b = 0x80; b < 0x100; ++b) {
        const char c = static_cast<char>(b);
        CAPTURE(b);
        CHECK_FALSE((ascii::isLetter(c) || ascii::isDigit(c) || ascii::isSpace(c)));
    }
    CHECK(ascii::allDigits("0123456789"));
    CHECK_FALSE(ascii::allDigits(""));
    CHECK_FALSE(ascii::allDigits("12a"));
    CHECK(ascii::equalNoCase("Settings", "sETTINGS"));
    CHECK_FALSE(ascii::equalNoCase("Setting", "Settings"));
    CHECK_FALSE(ascii::equalNoCase("\xE0", "\xC0")); // code-page letters keep their case
    CHECK(ascii::startsWithNoCase("Korvane Multiplier", "korvane"));
    CHECK_FALSE(ascii::startsWithNoCase("Kor", "korvane"));
}

TEST_CASE("trimming: blanks are blank and tab, spaces add the line and page controls")
{
    CHECK(ascii::trimmed(" \tRA3\tXYZ \t", ascii::isBlank) == "RA3\tXYZ");
    CHECK(ascii::trimmed("\r\nRA3\n", ascii::isBlank) == "\r\nRA3\n");
    CHECK(ascii::trimmed("\r\n\v\f RA3 \t", ascii::isSpace) == "RA3");
    CHECK(ascii::trimmed(" \t ", ascii::isSpace).empty());
}
