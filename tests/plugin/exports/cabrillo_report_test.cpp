// The report through the exports of the built plug-in: a reset with a report request runs
// the setup dialog, every summary then writes the Cabrillo file.
//
// Native only: there the dialog is headless and confirms with the loaded values, and
// the "Output" box goes to stderr. Under Wine both are real windows that a robot must
// answer: tests/cabrillo/win32/setup_dialog_test.cpp covers the same report there.
#if !defined(_WIN32)

#include "Golden.h"
#include "PluginUnderTest.h"
#include "TempDir.h"
#include "cabrillo_golden.h"

#include <filesystem>

namespace {

std::string settingsValue(const TempDir& dir, const std::string& key)
{
    return golden::iniValue(readFileBytes(dir.settingsPath()), key);
}

} // namespace

TEST_CASE("report through the exports: the file byte for byte, twice, score -1, Claimed kept")
{
    TempDir dir;
    writeFileBytes(dir.settingsPath(), golden::kSettings);
    writeFileBytes(dir.path() / "cabrillo.ini", golden::kExtraHeader);
    PluginUnderTest p(decoratedWhereAvailable());
    CHECK(p.reset(1, "RA3XYZ/P", golden::kStart, golden::kEnd, "") == 1);
    CHECK(settingsValue(dir, "Category") == "SINGLE-OP"); // the dialog was confirmed
    CHECK(settingsValue(dir, "Start") == "0");
    for (const host::Qso& q : golden::qsos())
        p.add(q);

    for (int pass = 0; pass < 2; ++pass) {
        CAPTURE(pass);
        int score = 0;
        const std::string text = p.result(&score);
        CHECK(score == -1);
        CHECK(text.find("Score: 4+3  = 7\r\n") != std::string::npos);
        CHECK(settingsValue(dir, "Claimed") == "7");
        CHECK(golden::equalsFile(readFileBytes(dir.path() / "RA3XYZ_P.cbr"), golden::kReportFile));
    }
    CHECK(readFileBytes(dir.path() / "cabrillo.ini") == golden::kExtraHeader);

    // Without a report request the summary writes nothing and returns the score.
    std::filesystem::remove(dir.path() / "RA3XYZ_P.cbr");
    p.reset(0, "RA3XYZ/P", golden::kStart, golden::kEnd, "");
    p.add(golden::qsos()[0]);
    int score = 0;
    p.result(&score);
    CHECK(score == 2);
    CHECK_FALSE(std::filesystem::exists(dir.path() / "RA3XYZ_P.cbr"));
}

TEST_CASE("report through the exports: an empty log, and a file that cannot be written")
{
    TempDir dir;
    PluginUnderTest p;
    p.reset(1, "", golden::kStart, golden::kEnd, "");
    int score = 0;
    p.result(&score);
    CHECK(score == -1);
    const std::string file = readFileBytes(dir.path() / "MOLTA.cbr");
    CHECK(file.rfind("START-OF-LOG: 3.0\r\nCONTEST: KORVANE\r\nCALLSIGN: \r\n", 0) == 0);
    CHECK(file.find("OPERATORS: \r\nEMAIL: \r\nSOAPBOX: \r\nEND-OF-LOG:\r\n") != std::string::npos);
    CHECK(std::filesystem::file_size(dir.path() / "cabrillo.ini") == 0);

    std::filesystem::remove(dir.path() / "MOLTA.cbr");
    std::filesystem::create_directory(dir.path() / "MOLTA.cbr");
    score = 0;
    p.add(golden::qsos()[0]);
    p.result(&score);
    CHECK(score == -1); // also when the file could not be written
    CHECK(settingsValue(dir, "Claimed") == "2");
}

#endif
