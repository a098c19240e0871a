#include "FakePlatform.h"
#include "TempDir.h"
#include "platform/SettingsFile.h"
#include "plugin/PluginApp.h"

#include <doctest/doctest.h>

#include <cstring>

namespace {

QsoRecord qso(const char* call, const char* band, const char* mode, const char* exchange = "001")
{
    QsoRecord r;
    r.call = r.multiplierKey = call;
    r.band = band;
    r.mode = mode;
    r.exchSent = r.exchReceived = exchange;
    r.qsoTime = makeOleDate(2026, 12, 7, 10, 12, 0);
    return r;
}

std::vector<std::string> calls(const QsoLog& log)
{
    std::vector<std::string> out;
    for (const QsoRecord& r : log.records())
        out.push_back(r.call + "/" + r.band + "/" + r.exchSent);
    return out;
}

// Any window the reset opens is closed again, as if by the operator, so that the next
// reset decides afresh (the window's own tests cover resets while it is open).
int reset(PluginApp& e, int report = 0, const char* filter = "")
{
    const int result = e.resetStats(report, "RA3XYZ", makeOleDate(2026, 12, 7, 10, 0, 0),
                                    makeOleDate(2026, 12, 7, 12, 0, 0), filter);
    e.window.closeAndWait();
    return result;
}

} // namespace

TEST_CASE("removal takes the oldest exact match and refuses without exchanges")
{
    FakePlatform fake;
    PluginApp e;
    e.addData(qso("UA1AAA", "80", "CW", "001"));
    e.addData(qso("UA1AAA", "80", "CW", "002"));
    e.addData(qso("UA1AAA", "160", "CW", "003"));

    CHECK(e.removeData("UA1AAA", "CW", "80", "", "x") == 0);
    CHECK(e.removeData("UA1AAA", "CW", "80", "x", "") == 0);
    CHECK(e.log.size() == 3);
    CHECK(e.removeData("UA9ZZZ", "CW", "80", "x", "x") == 1); // not there: nothing changes
    CHECK(e.removeData("UA1AAA", "SSB", "80", "x", "x") == 1);
    CHECK(e.log.size() == 3);

    CHECK(e.removeData("UA1AAA", "CW", "80", "x", "x") == 1);
    CHECK(calls(e.log) == std::vector<std::string>{"UA1AAA/80/002", "UA1AAA/160/003"});
    CHECK(e.removeData("UA1AAA", "CW", "80", "x", "x") == 1);
    CHECK(e.removeData("UA1AAA", "CW", "80", "x", "x") == 1);
    CHECK(calls(e.log) == std::vector<std::string>{"UA1AAA/160/003"});
    // The emptied band keeps its line.
    CHECK(e.bands.items() == std::vector<std::string>{"80", "160"});
}

TEST_CASE("reset clears the log, keeps the multipliers and records the contest")
{
    TempDir dir;
    FakePlatform fake;
    PluginApp e;
    e.addData(qso("UA1AAA", "80", "CW"));
    e.getResult(nullptr);
    CHECK(reset(e, 0, "UA9") == 1);
    CHECK(e.log.size() == 0);
    CHECK(e.bands.size() == 0);
    CHECK(e.multipliers.snapshot().size() == 1);
    CHECK(e.state.listFilter == "UA");
    CHECK(e.state.ownCall == "RA3XYZ");
    CHECK(e.state.endDateText == "07.12.26");
    reset(e, 0, "U");
    CHECK(e.state.listFilter == "U");
    reset(e, 0, "");
    CHECK(e.state.listFilter.empty());
}

TEST_CASE("the Start key alternates between resets")
{
    TempDir dir;
    FakePlatform fake;
    PluginApp e;
    auto start = [] { return settings::read("Start", "(missing)", 100); };

    reset(e); // the window that this opens is closed again, so every other reset opens one
    CHECK(start() == "1");
    reset(e);
    CHECK(start() == "0");
    reset(e);
    CHECK(start() == "1");

    settings::write("Start", "2"); // any non-zero number counts as 1
    reset(e);
    CHECK(start() == "0");
    settings::write("Start", "junk");
    reset(e);
    CHECK(start() == "1");

    reset(e, 1); // a report request leaves "0" behind
    CHECK(start() == "0");
}

TEST_CASE("without a writable settings file the reset still answers 1")
{
    TempDir dir(false); // no Plugins folder
    FakePlatform fake;
    PluginApp e;
    CHECK(reset(e) == 1);
    CHECK(reset(e, 1) == 1);
    CHECK_FALSE(std::filesystem::exists(dir.path() / "Plugins"));
}

TEST_CASE("the summary stores the score in the settings file")
{
    TempDir dir;
    FakePlatform fake;
    PluginApp e;
    reset(e);
    e.addData(qso("UA1AAA", "80", "CW"));
    e.addData(qso("UA2BBB", "80", "CW"));
    int score = 0;
    e.getResult(&score);
    CHECK(score == 4);
    CHECK(e.score == 4);
    CHECK(settings::read("Claimed", "", 100) == "4");
    CHECK(e.getResult(nullptr) != nullptr);
}

TEST_CASE("the check writes the message only when it refuses")
{
    FakePlatform fake;
    FakePlatform::setUtc(10, 20);
    PluginApp e;
    e.addData(qso("UA1AAA", "80", "CW"));
    char buffer[300];
    std::memset(buffer, '#', sizeof buffer);
    CHECK(e.checkCall("UA1AAA", "CW", "160", buffer) == 1);
    CHECK(buffer[0] == '#');
    CHECK(e.checkCall("UA2BBB", "CW", "80", buffer) == 2);
    CHECK(buffer[0] == '#');
    CHECK(e.checkCall("UA1AAA", "CW", "80", buffer) == 0);
    CHECK(std::strncmp(buffer, "QSO c UA1AAA \xC2", 14) == 0);
    CHECK(std::strlen(buffer) == 55);
    CHECK(e.checkCall("UA1AAA", "CW", "80", nullptr) == 0);

    const std::string longCall(5000, 'K');
    e.addData(qso(longCall.c_str(), "80", "CW"));
    std::memset(buffer, '#', sizeof buffer);
    CHECK(e.checkCall(longCall, "CW", "80", buffer) == 0);
    CHECK(std::strlen(buffer) == 255);
    CHECK(buffer[256] == '#');
}

TEST_CASE("after a reset the multiplier list holds only the new run's calls")
{
    // The new log interns its first call under the same id as the old log's first call,
    // so the list must be rebuilt although the ids are equal.
    TempDir dir;
    FakePlatform fake;
    PluginApp e;
    reset(e);
    e.addData(qso("UA1AAA", "80", "CW"));
    e.getResult(nullptr);
    CHECK(e.multipliers.snapshot() == std::vector<std::string>{"UA1AAA"});
    reset(e);
    e.addData(qso("UA9ZZZ", "80", "CW"));
    e.getResult(nullptr);
    CHECK(e.multipliers.snapshot() == std::vector<std::string>{"UA9ZZZ"});
    // Nor is a list carried over when the new run has the same number of calls again.
    reset(e);
    e.addData(qso("UA1AAA", "80", "CW"));
    e.getResult(nullptr);
    CHECK(e.multipliers.snapshot() == std::vector<std::string>{"UA1AAA"});
}
