// The settings file's stored form of multi-line texts, as the plug-in's dialog and
// korvane's command line write it and the plug-in reads it back.
#include "contract/SettingsText.h"

#include <doctest/doctest.h>

#include <string>

using namespace settings;

TEST_CASE("stored form: line-break bytes spelt out one by one, and back")
{
    CHECK(toStored("A\r\nB") == "A<CR><LF>B");
    CHECK(toStored("A\r\n") == "A<CR><LF>");
    CHECK(toStored("A\nB") == "A<LF>B");
    CHECK(toStored("A<CR>B") == "A<CR>B"); // typed literally: indistinguishable
    CHECK(fromStored("A<CR><LF>B") == "A\r\nB");
    CHECK(fromStored("A<LF><CR>") == "A\n\r");
    CHECK(fromStored("<cr>") == "<cr>"); // exact case only
    CHECK(fromStored("<<CR>>") == "<\r>");
    CHECK(fromStored("<C<LF>R>") == "<C\nR>"); // a token never forms across another
}

TEST_CASE("stored form: every text without a literal <CR> or <LF> comes back unchanged")
{
    std::string everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    const std::string texts[] = {
        "", "\r", "\n", "\n\r", "\r\n\r\n", "<", "<C\r", "<CR\n>", "<L\rF>", "a<\r\n>b", everyByte,
    };
    for (const std::string& text : texts) {
        CAPTURE(text);
        const std::string stored = toStored(text);
        CHECK(stored.find_first_of("\r\n") == std::string::npos); // one line in the file
        CHECK(fromStored(stored) == text);
    }
}
