#include "PluginUnderTest.h"
#include "TempDir.h"

#include <cstring>
#include <fstream>

namespace {

const COleDateTime kStart = makeOleDate(2026, 12, 7, 10, 0, 0);
const COleDateTime kEnd = makeOleDate(2026, 12, 7, 12, 0, 0);
const COleDateTime kQsoTime = makeOleDate(2026, 12, 7, 10, 12, 0);

const std::string kHeading =
    "\tKorvane 07.12.26 \r\n         Contestant: RA3XYZ\r\nBand\tQSOs\tPoints\tNew Call\r\n";
const std::string kCredit = "korvane-stats, 2026";

std::string scoreTable(host::NameKind names)
{
    PluginUnderTest p(names);
    p.reset(0, "RA3XYZ", kStart, kEnd, "UA9 and more");
    p.add(makeQso("UA1AAA", "160", "CW", kQsoTime));
    p.add(makeQso("UA1AAA", "80", "CW", kQsoTime));
    p.add(makeQso("", "80", "SSB", kQsoTime));
    p.add(makeQso("UA9", "80", "SSB", kQsoTime));
    p.add(makeQso("UA2BBB", "40", "CW", kQsoTime));
    p.remove(makeQso("UA2BBB", "40", "CW", kQsoTime));
    int score = 0;
    std::string text = p.result(&score);
    CHECK(score == 5);
    return text;
}

} // namespace

TEST_CASE("the score table through either export name, byte for byte")
{
    TempDir dir;
    const std::string expected = kHeading +
                                 "160\t 1\t 1\r\n"
                                 "80\t 2\t 2\r\n" // the QSO without a call gives no point
                                 "40\t 0\t 0\r\n" // emptied by the removal, still listed
                                 "Total\t 4\t 3\t   2\r\n"
                                 "\r\nScore: 3+2  = 5\r\n" +
                                 kCredit;
    CHECK(scoreTable(host::NameKind::Plain) == expected);
    CHECK(scoreTable(decoratedWhereAvailable()) == expected);
}

TEST_CASE("an empty log right after a reset")
{
    TempDir dir;
    PluginUnderTest p(decoratedWhereAvailable());
    p.reset(0, "RA3XYZ", kStart, kEnd, "");
    int score = -7;
    CHECK(p.result(&score) == kHeading + "Total\t 0\t 0\t   0\r\n\r\nScore: 0+0  = 0\r\n" + kCredit);
    CHECK(score == 0);
    CHECK(p.getResult(nullptr) != nullptr);
}

TEST_CASE("both names of every export lead to one function")
{
    PluginUnderTest p;
    for (const host::ExportName& name : host::kAllExports) {
        CAPTURE(name.plain);
        void* plain = p.library().find(name.plain);
        CHECK(plain != nullptr);
#if defined(_WIN32)
        CHECK(plain == p.library().find(name.decorated));
#endif
    }
}

TEST_CASE("the small entry points answer whatever they are given")
{
    PluginUnderTest p(decoratedWhereAvailable());
    CHECK(p.getNumberOfSets() == 1);
    CHECK(std::string(p.getSetName(0)) == "KORVANE (C)");
    for (int index : {1, -1, 1000}) {
        REQUIRE(p.getSetName(index) != nullptr);
        CHECK(std::string(p.getSetName(index)).empty());
    }
    CHECK(p.getExchgCount(nullptr, nullptr, nullptr) == 1);
    CHECK(p.getExchgCount("a", "b", "c") == 1);
    CHECK(p.isValidExchg(nullptr, nullptr, nullptr, nullptr, 0, 0, 0) == 0);
    CHECK(p.isValidExchg("a", "b", "c", "d", 1, 2, 3) == 0);
}

TEST_CASE("adding before any reset works")
{
    TempDir dir;
    PluginUnderTest p;
    CHECK(p.add(makeQso("UA1AAA", "80", "CW", kQsoTime)) == 1);
    const std::string text = p.result(nullptr);
    CHECK(text.find("80\t 1\t 1\r\n") != std::string::npos);
    CHECK(text.find("Contestant: \r\n") != std::string::npos); // empty state before a reset
}

TEST_CASE("a repeat inside the current tour is refused with the message")
{
    TempDir dir;
    PluginUnderTest p(decoratedWhereAvailable());
    p.reset(0, "RA3XYZ", kStart, kEnd, "");
    for (int attempt = 0; attempt < 2; ++attempt) {
        const COleDateTime now = utcNowOle();
        p.add(makeQso("UA1AAA", "80", "CW", now));
        std::string message;
        const int result = p.check("UA1AAA", "CW", "80", &message);
        const double tourBefore = static_cast<long long>(now.value * 48);
        if (tourBefore != static_cast<long long>(utcNowOle().value * 48))
            continue; // the tour changed under the test; try once more
        CHECK(result == 0);
        CHECK(message.rfind("QSO c UA1AAA \xC2 \xCE\xC4\xCD\xCE\xCC", 0) == 0);
        CHECK(message.size() == 55);
        break;
    }
    std::string message = "untouched";
    CHECK(p.check("UA1AAA", "SSB", "80", &message) == 1);
    CHECK(p.check("UA2BBB", "CW", "80", &message) == 2);
    CHECK(message.empty()); // the buffer the stand-in passed stayed all zero
}

TEST_CASE("null pointers where the host passes texts and dates")
{
    TempDir dir;
    PluginUnderTest p;
    CHECK(p.resetStats(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0,
                       0.0, 0.0, nullptr, nullptr, nullptr) == 1);
    CHECK(p.addData(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, nullptr, nullptr,
                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0.0, 0.0, nullptr,
                    nullptr, nullptr, nullptr, nullptr) == 1);
    CHECK(p.removeData(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, nullptr,
                       nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0.0, 0.0,
                       nullptr, nullptr, nullptr, nullptr, nullptr) == 0);
    CHECK(p.checkCall(nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                      nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0.0, 0.0, nullptr,
                      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                      nullptr) == 1); // the empty call was added just before
    const char* text = p.getResult(nullptr);
    REQUIRE(text != nullptr);
    CHECK(std::string(text).find("Total\t 1\t 0\t   0\r\n") != std::string::npos);
}

TEST_CASE("the Start key alternates through the exports, against a real settings file")
{
    TempDir dir;
    PluginUnderTest p;
    auto stored = [&] {
        const std::string ini = readFileBytes(dir.settingsPath());
        const auto at = ini.find("Start=");
        return at == std::string::npos ? std::string("(none)") : ini.substr(at + 6, 1);
    };
    CHECK(stored() == "(none)");
    p.reset(0, "RA3XYZ", kStart, kEnd, "");
    CHECK(stored() == "1");
    p.reset(0, "RA3XYZ", kStart, kEnd, "");
    CHECK(stored() == "0");
    writeFileBytes(dir.settingsPath(), "[Settings]\r\nStart=2\r\n");
    p.reset(0, "RA3XYZ", kStart, kEnd, "");
    CHECK(stored() == "0");
}
