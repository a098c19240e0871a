// The settings file is optional and its failures are quiet: whatever state it is in,
// a run goes on, answers as usual, shows no message and never damages what is there.
#include "FakePlatform.h"
#include "TempDir.h"
#include "platform/SettingsFile.h"
#include "plugin/PluginApp.h"

#include <doctest/doctest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A whole run: reset, a QSO, a check, a summary. Returns the score it reported.
int runOnce(PluginApp& e)
{
    CHECK(e.resetStats(0, "RA3XYZ", makeOleDate(2026, 12, 7, 10, 0, 0),
                       makeOleDate(2026, 12, 7, 12, 0, 0), "") == 1);
    QsoRecord r;
    r.call = r.multiplierKey = "UA1AAA";
    r.band = "80";
    r.mode = "CW";
    r.qsoTime = makeOleDate(2026, 12, 7, 10, 5, 0);
    CHECK(e.addData(r) == 1);
    CHECK(e.checkCall("UA1AAA", "CW", "160", nullptr) == 1);
    int score = -7;
    CHECK(e.getResult(&score) != nullptr);
    e.window.closeAndWait(); // the reset may have opened it; keep tests apart
    return score;
}

} // namespace

TEST_CASE("a settings folder that cannot hold files: the run goes on quietly")
{
    TempDir dir(false);
    writeFileBytes(dir.path() / "Plugins", "not a folder"); // a file where the folder belongs
    FakePlatform fake;
    PluginApp e;
    CHECK(runOnce(e) == 2);
    CHECK(FakePlatform::boxes().empty());
    CHECK(readFileBytes(dir.path() / "Plugins") == "not a folder");
}

TEST_CASE("a settings file that is a folder reads as missing and is left alone")
{
    TempDir dir;
    fs::create_directories(dir.settingsPath());
    FakePlatform fake;
    PluginApp e;
    CHECK(runOnce(e) == 2);
    CHECK(settings::read("Claimed", "(default)", 100) == "(default)");
    CHECK(fs::is_directory(dir.settingsPath()));
}

TEST_CASE("garbage and a 1 MB line in the settings file survive every write")
{
    TempDir dir;
    const std::string longLine = "Junk=" + std::string(1 << 20, 'x') + "\r\n";
    std::string binary;
    for (int c = 1; c < 256; ++c)
        binary += c == '\n' || c == '\r' || c == '[' || c == '=' ? ' ' : static_cast<char>(c);
    const std::string before = "\xEF\xBB\xBF" "garbage without equals\r\n" + binary +
                               "\r\n[Settings]\r\n" + longLine + "Start=banana\r\n[Other]\r\nKeep=me\r\n";
    writeFileBytes(dir.settingsPath(), before);
    FakePlatform fake;
    PluginApp e;
    runOnce(e);

    const std::string after = readFileBytes(dir.settingsPath());
    CHECK(after.find(longLine) != std::string::npos);
#if !defined(_WIN32)
    // The system's profile functions on Windows re-encode a rewritten file through the
    // code page; our own keep every byte of lines they do not change.
    CHECK(after.find(binary) != std::string::npos);
#endif
    CHECK(after.find("garbage without equals") != std::string::npos);
    CHECK(after.find("[Other]\r\nKeep=me\r\n") != std::string::npos);
    CHECK(settings::read("Claimed", "", 100) == "2");
    CHECK(settings::read("Junk", "", 10) == "xxxxxxxxx"); // cut to the reader's buffer
    CHECK(settings::read("Junk", "", 2 << 20).size() == 1u << 20);
}

TEST_CASE("a write that fails leaves the previous settings file byte for byte")
{
    TempDir dir;
    const std::string before = "[Settings]\r\nStart=0\r\nClaimed=41\r\nName=Ivan\r\n";
    writeFileBytes(dir.settingsPath(), before);
    FakePlatform fake;
    FakePlatform::failSettingsWrites(true);
    PluginApp e;
    CHECK(runOnce(e) == 2);
    CHECK(readFileBytes(dir.settingsPath()) == before);
    CHECK(FakePlatform::boxes().empty());
}
