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

TEST_CASE("typed on a command line: each break, \\n included, becomes one CR LF")
{
    CHECK(typedToStored("Lenina 1\nMoscow") == "Lenina 1<CR><LF>Moscow");
    CHECK(typedToStored("A\r\nB\rC\\nD") == "A<CR><LF>B<CR><LF>C<CR><LF>D");
    CHECK(typedToStored("no break") == "no break");
    CHECK(typedToStored("\n\r") == "<CR><LF><CR><LF>"); // LF CR is two breaks
    CHECK(typedToStored("C:\\new") == "C:<CR><LF>ew");    // the two characters, wherever
    CHECK(typedToStored("end\\") == "end\\");
    // What the plug-in reads back is the dialog's own form: CR LF between the lines.
    CHECK(fromStored(typedToStored("A\nB\\nC\rD")) == "A\r\nB\r\nC\r\nD");
}
