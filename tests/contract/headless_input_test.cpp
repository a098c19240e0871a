// The texts a stand-in host types into headless dialogs: what is read from the variable,
// and that a host's value reads back as written.
#include "contract/HeadlessInput.h"

#include <doctest/doctest.h>

#include <string>

using namespace headless_input;

TEST_CASE("typed texts: well-formed lines are taken, malformed ones ignored")
{
    struct Case {
        const char* value;
        int entries; // how many are read
        int lastControl;
        const char* lastText;
    };
    const Case cases[] = {
        {"101:1015=LOW\n", 1, 1015, "LOW"},
        {"101:1015=LOW", 1, 1015, "LOW"},                       // no final line break
        {"101:1013=MULTI-OP\n101:1015=\n", 2, 1015, ""},        // an empty text clears
        {"101:1015=A=B\n", 1, 1015, "A=B"},                     // the first '=' ends the ids
        {"101:1015=LOW\r\n", 0, 0, ""},                         // a carriage return in the text
        {"101=1015:LOW\n", 0, 0, ""},                           // '=' before ':'
        {"101:1015\n", 0, 0, ""},                               // no text
        {":1015=LOW\n101:=LOW\n0:1015=LOW\n101:0=LOW\n", 0, 0, ""},
        {"65536:1015=LOW\n101:99999=LOW\n101:-5=LOW\n", 0, 0, ""}, // ids out of range
        {"101:10x5=LOW\n 101:1015=LOW\n", 0, 0, ""},            // not decimal
        {"junk\n\n101:1016=SO80\n", 1, 1016, "SO80"},           // good lines after bad ones
        {"", 0, 0, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const std::vector<TypedText> read = parse(c.value);
        REQUIRE(read.size() == static_cast<std::size_t>(c.entries));
        if (!read.empty()) {
            CHECK(read.back().templateId == 101);
            CHECK(read.back().controlId == c.lastControl);
            CHECK(read.back().text == c.lastText);
        }
    }
}

TEST_CASE("typed texts: the bounds hold")
{
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "101:" + std::to_string(1000 + i) + "=x\n";
    CHECK(parse(many).size() == kMaxEntries);
    const std::string longest(kMaxTextBytes, 'x');
    CHECK(parse("101:1007=" + longest).size() == 1);
    CHECK(parse("101:1007=" + longest + "x").empty());
    // Too long as a whole: nothing is taken, not a part of it.
    CHECK(parse("101:1007=LOW\n" + std::string(kMaxBytes, '\n')).empty());
}

TEST_CASE("typed texts: a host's value reads back, without what would be ignored")
{
    const std::vector<TypedText> typed = {
        {101, 1013, "MULTI-OP"}, {101, 1007, "\xC8\xE2\xE0\xED"}, {101, 1002, "two\r\nlines"}};
    const std::string value = format(typed);
    CHECK(value == "101:1013=MULTI-OP\n101:1007=\xC8\xE2\xE0\xED\n");
    const std::vector<TypedText> back = parse(value);
    REQUIRE(back.size() == 2);
    CHECK(back[1].text == "\xC8\xE2\xE0\xED");
}
