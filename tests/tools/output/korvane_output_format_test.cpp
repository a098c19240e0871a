// korvane's hand-written JSON and CSV: whatever bytes a log holds, the output parses.
#include "tools/output/MarkupText.h"
#include "tools/output/OutputFormat.h"
#include "tools/output/ScoreOutput.h"

#include <doctest/doctest.h>

using namespace korvane;

TEST_CASE("ill-formed UTF-8 becomes U+FFFD byte by byte, well-formed text is kept")
{
    const std::string r = "\xEF\xBF\xBD";
    struct Case {
        const char* in;
        std::string out;
    };
    const Case cases[] = {
        /* 1 */ {"RK3AZ", "RK3AZ"},
        /* 2 */ {"\xD0\x92 \xE2\x84\x96 \xF0\x9F\x93\xBB", "\xD0\x92 \xE2\x84\x96 \xF0\x9F\x93\xBB"},
        /* 3 */ {"A\xFF" "B", "A" + r + "B"},                    // never in UTF-8
        /* 4 */ {"\x80", r},                                   // stray continuation
        /* 5 */ {"\xC0\xAF", r + r},                           // overlong '/'
        /* 6 */ {"\xE0\x80\xAF", r + r + r},                   // overlong, three bytes
        /* 7 */ {"\xED\xA0\x80", r + r + r},                   // a UTF-16 surrogate
        /* 8 */ {"\xF4\x90\x80\x80", r + r + r + r},           // past U+10FFFF
        /* 9 */ {"\xD0", r},                                   // cut at the end
        /* 10 */ {"\xE2\x84" "A", r + r + "A"},                // cut before ASCII
        /* 11 */ {"\xC8 UA1AA", r + " UA1AA"},                 // Windows-1251 text
        /* 12 */ {"\xDF\xBF\xF4\x8F\xBF\xBF", "\xDF\xBF\xF4\x8F\xBF\xBF"}, // U+07FF, U+10FFFF
        /* 13 */ {"\xF5\x80\x80\x80", r + r + r + r},           // a lead byte past F4
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        CHECK(validUtf8(c.in) == c.out);
    }
}

TEST_CASE("a JSON string escapes what JSON forbids and nothing else")
{
    CHECK(jsonString("RK3AZ") == "\"RK3AZ\"");
    CHECK(jsonString("a\"b\\c/d") == "\"a\\\"b\\\\c/d\"");
    CHECK(jsonString("1\n2\r3\t4") == "\"1\\n2\\r3\\t4\"");
    CHECK(jsonString(std::string("\x01\x1f\x7f", 3)) == "\"\\u0001\\u001f\\u007f\"");
    CHECK(jsonString(std::string("a\0b", 3)) == "\"a\\u0000b\"");
    CHECK(jsonString("\xFF") == "\"\xEF\xBF\xBD\"");
    CHECK(jsonString("\xD0\x92") == "\"\xD0\x92\"");
}

TEST_CASE("markup text: the chart's XML and the judge's page escape alike, apart from two bytes")
{
    const std::string r = "\xEF\xBF\xBD";
    struct Case {
        std::string in, svg, html;
    };
    const Case cases[] = {
        /* 1 */ {"a<b>&\"c\"", "a&lt;b&gt;&amp;&quot;c&quot;", "a&lt;b&gt;&amp;&quot;c&quot;"},
        /* 2 */ {"O'Brien", "O'Brien", "O&#39;Brien"},             // attributes may use either quote
        /* 3 */ {std::string("\x01\x1f\0", 3), "???", std::string("\x01\x1f\0", 3)}, // XML 1.0 forbids them
        /* 4 */ {"a\tb\r\nc\x7f", "a\tb\r\nc\x7f", "a\tb\r\nc\x7f"},
        /* 5 */ {"\xFF&\xD0", r + "&amp;" + r, r + "&amp;" + r},  // ill-formed bytes, then escaped
        /* 6 */ {"\xD0\x92 &amp;", "\xD0\x92 &amp;amp;", "\xD0\x92 &amp;amp;"}, // never taken as markup
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        CHECK(markupText(c.in, Markup::Svg) == c.svg);
        CHECK(markupText(c.in, Markup::Html) == c.html);
    }
}

TEST_CASE("the JSON writer puts commas, nesting and indentation")
{
    JsonWriter json;
    json.beginObject();
    json.key("score").value(445);
    json.key("bands").beginArray();
    json.beginObject(true).key("band").value("160").key("qsos").value(156).endObject();
    json.beginObject(true).key("band").value("80").key("qsos").value(158).endObject();
    json.endArray();
    json.key("empty").beginArray().endArray();
    json.key("none").null();
    json.key("missing").value(std::optional<int>());
    json.key("claimed").value(std::optional<long long>(-12));
    json.key("done").value(true);
    json.key("modes").beginArray(true).value("CW").value("SSB").endArray();
    json.key("nested").beginObject(true).key("inner").beginArray().value(1).endArray().endObject();
    json.endObject();
    CHECK(json.str() == "{\n"
                        "  \"score\": 445,\n"
                        "  \"bands\": [\n"
                        "    {\"band\": \"160\", \"qsos\": 156},\n"
                        "    {\"band\": \"80\", \"qsos\": 158}\n"
                        "  ],\n"
                        "  \"empty\": [],\n"
                        "  \"none\": null,\n"
                        "  \"missing\": null,\n"
                        "  \"claimed\": -12,\n"
                        "  \"done\": true,\n"
                        "  \"modes\": [\"CW\", \"SSB\"],\n"
                        "  \"nested\": {\"inner\": [1]}\n"
                        "}\n");
}

TEST_CASE("a CSV field is quoted when it must be, quotes doubled")
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        /* 1 */ {"UA1AA", "UA1AA"},
        /* 2 */ {"", ""},
        /* 3 */ {"a,b", "\"a,b\""},
        /* 4 */ {"say \"hi\"", "\"say \"\"hi\"\"\""},
        /* 5 */ {"two\nlines", "\"two\nlines\""},
        /* 6 */ {"cr\r", "\"cr\r\""},
        /* 7 */ {" padded", "\" padded\""},
        /* 8 */ {"\xFF", "\xEF\xBF\xBD"},
        /* 9 */ {"padded ", "\"padded \""},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        CHECK(csvField(c.in) == c.out);
    }
    CHECK(csvRow({"band", "160", "", "a,b"}) == "band,160,,\"a,b\"\n");
}

TEST_CASE("output format names")
{
    CHECK(parseOutputFormat("text") == OutputFormat::Text);
    CHECK(parseOutputFormat("json") == OutputFormat::Json);
    CHECK(parseOutputFormat("csv") == OutputFormat::Csv);
    CHECK_FALSE(parseOutputFormat("JSON").has_value());
    CHECK_FALSE(parseOutputFormat("").has_value());
}

TEST_CASE("the score to claim: the committee's, the plug-in's beside it when they differ")
{
    CHECK(claimLine(445, 441, 4) == "Claim 441: the committee leaves out the 4 repeats the tour "
                                    "rule refuses;\nthe plug-in's 445 counts them (korvane check "
                                    "lists them)\n");
    CHECK(claimLine(445, 443, 1).find("the 1 repeat the tour rule refuses;\nthe plug-in's 445 "
                                      "counts it (korvane check lists it)") != std::string::npos);
    CHECK(claimLine(445, 445, 0).find("Claim 445: the tour rule refuses no QSO") == 0);
    // Without the clock override nobody can say; the plug-in's score is no claim then.
    const std::string unknown = claimLine(445, std::nullopt, 0);
    CHECK(unknown.find("Claim") == std::string::npos);
    CHECK(unknown.find("unknown") != std::string::npos);
    CHECK(unknown.find("445 holds only if") != std::string::npos);
}
