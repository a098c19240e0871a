// The Cabrillo writer: QSO line columns, the file byte for byte, and failures reported.
#include "FakePlatform.h"
#include "Golden.h"
#include "TempDir.h"
#include "cabrillo/CabrilloReport.h"
#include "cabrillo/ReportText.h"
#include "platform/Platform.h"
#include "plugin/PluginApp.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

const COleDateTime kTime = makeOleDate(2026, 12, 7, 10, 12, 0);

// A report as setupHeader leaves it after OK, address and soapbox in writer form.
CabrilloReport filledReport()
{
    CabrilloReport r;
    r.callsign = "RA3XYZ";
    r.baseName = "RA3XYZ";
    r.categoryOperator = "SINGLE-OP";
    r.categoryBand = "ALL";
    r.categoryPower = "HIGH";
    r.location = "";
    r.club = "Radio Club";
    r.name = "Ivan Petrov";
    r.address = "Lenina 1\r\nADDRESS: Moscow";
    r.operators = "RA3XYZ";
    r.email = "ra3xyz@example.org";
    r.soapbox = "";
    return r;
}

// The file the writer makes of the report above and addTwo's two QSOs
// (tests/golden/cabrillo/two-qsos.cbr); the other cases compose its header and QSO lines.
const std::string& kWritten()
{
    static const std::string written = golden::text("cabrillo/two-qsos.cbr");
    return written;
}
const std::string kEnd = "END-OF-LOG:\r\n";

std::string header() { return kWritten().substr(0, kWritten().find("QSO: ")); }
std::string qsoLine(int n)
{
    std::size_t at = kWritten().find("QSO: ");
    for (int i = 1; i < n; ++i)
        at = kWritten().find("QSO: ", at + 1);
    return kWritten().substr(at, kWritten().find("\r\n", at) + 2 - at);
}

void addTwo(CabrilloReport& r)
{
    r.addQsoLine("UA1AAA", 3512, "CW", kTime, "599", "001", "579", "042");
    r.addQsoLine("UA2BBB", 3650, "PH", kTime, "59", "002", "57", "017");
}

// Fault injection through the file seam: the Nth write or read (counted from 1) or the
// close of the Cabrillo file fails with a reason of the test's.
int failingWrite = 0;
int writes = 0;
int failingRead = 0;
int reads = 0;
bool failClose = false;

bool countedWrite(platform::File* f, const char* data, std::size_t size, std::string* reason)
{
    if (++writes == failingWrite) {
        *reason = "No space left on device (injected)";
        return false;
    }
    return platform::defaultOps().fileWrite(f, data, size, reason);
}

long countedRead(platform::File* f, char* buffer, std::size_t size, std::string* reason)
{
    if (++reads == failingRead) {
        *reason = "Input/output error (injected)";
        return -1;
    }
    return platform::defaultOps().fileRead(f, buffer, size, reason);
}

bool maybeFailingClose(platform::File* f, std::string* reason)
{
    const bool closed = platform::defaultOps().fileClose(f, reason);
    if (failClose) {
        *reason = "Input/output error (injected)";
        return false;
    }
    return closed;
}

void injectFileFaults(int failAtWrite, bool failAtClose, int failAtRead = 0)
{
    failingWrite = failAtWrite;
    writes = 0;
    failingRead = failAtRead;
    reads = 0;
    failClose = failAtClose;
    platform::ops().fileWrite = countedWrite;
    platform::ops().fileRead = countedRead;
    platform::ops().fileClose = maybeFailingClose;
}

} // namespace

TEST_CASE("QSO line columns")
{
    CabrilloReport r = filledReport();
    addTwo(r);
    r.addQsoLine("UA3CCC", 144000, "PM", kTime, "599", "003", "599", "123456");
    r.addQsoLine("UA4DDD", 3512, "CW", COleDateTime{kTime.value, kOleInvalid}, "599", "004", "599", "1");
    r.addQsoLine("UA5EEE", 3512, "CW", COleDateTime{0.0, kOleNull}, "599", "005", "599", "");
    r.addQsoLine("VERYLONGCALLSIGN/MM", 1850, "CW", kTime, "5999", "1234567", "59", "x");
    r.callsign = "UA9ZZZ/P"; // the own-call column takes the value of the moment
    r.addQsoLine("UA6FFF", 999, "CW", kTime, "", "", "", "");
    REQUIRE(r.qsoLines.size() == 7);
    CHECK(r.qsoLines[0] == qsoLine(1));
    CHECK(r.qsoLines[1] == qsoLine(2));
    // Six digits push the rest one place to the right.
    CHECK(r.qsoLines[2] == "QSO: 144000 PM 2026-12-07 1012 RA3XYZ        599 003    UA3CCC        599 123456\r\n");
    // No valid time: an empty date, so two blanks in a row.
    CHECK(r.qsoLines[3] == "QSO:  3512 CW  RA3XYZ        599 004    UA4DDD        599 1\r\n");
    // And an empty exchange received leaves the line's trailing blank.
    CHECK(r.qsoLines[4] == "QSO:  3512 CW  RA3XYZ        599 005    UA5EEE        599 \r\n");
    // Longer values are written whole.
    CHECK(r.qsoLines[5] == "QSO:  1850 CW 2026-12-07 1012 RA3XYZ        5999 1234567 VERYLONGCALLSIGN/MM 59  x\r\n");
    CHECK(r.qsoLines[6] == "QSO:   999 CW 2026-12-07 1012 UA9ZZZ/P                 UA6FFF            \r\n");
}

TEST_CASE("the file byte for byte: header, created extra-header file, QSO lines, end")
{
    TempDir dir;
    FakePlatform fake;
    CabrilloReport r = filledReport();
    addTwo(r);
    const CabrilloReport::WriteOutcome outcome = r.writeLog(7);
    CHECK(outcome.ok);
    CHECK(outcome.text == "File produced: RA3XYZ.cbr");
    CHECK(golden::equalsFile(readFileBytes(dir.path() / "RA3XYZ.cbr"), "cabrillo/two-qsos.cbr"));
    CHECK(r.qsoLines.empty());
    // The missing extra-header file now stands there, empty.
    REQUIRE(fs::exists(dir.path() / "cabrillo.ini"));
    CHECK(fs::file_size(dir.path() / "cabrillo.ini") == 0);

    // The next report rewrites the whole file; without new lines it has none.
    CHECK(r.writeLog(0).ok);
    std::string noQsos = header() + kEnd;
    noQsos.replace(noQsos.find("CLAIMED-SCORE: 7"), 16, "CLAIMED-SCORE: 0");
    CHECK(readFileBytes(dir.path() / "RA3XYZ.cbr") == noQsos);
}

TEST_CASE("the extra-header file is copied as it stands, with a line end added only when missing")
{
    struct Row {
        std::string extra;
        std::string copied;
    };
    std::string big(10000, 'x'); // more than one copy block
    big[4095] = '\n';
    big[4096] = '\0';
    big.back() = '\n';
    const Row rows[] = {
        /* 1 */ {"X-Q: 1\r\n", "X-Q: 1\r\n"},
        /* 2 */ {"X-Q: 1", "X-Q: 1\r\n"},     // would run into the first QSO line
        /* 3 */ {"X-Q: 1\n", "X-Q: 1\n"},     // bare line feed: left alone
        /* 4 */ {"X-Q: 1\r", "X-Q: 1\r\r\n"}, // ends without a line feed
        /* 5 */ {std::string("A\0\x1A\r\nB", 6), std::string("A\0\x1A\r\nB\r\n", 8)},
        /* 6 */ {big, big},
        /* 7 */ {big + "tail", big + "tail\r\n"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.extra.size());
        TempDir dir;
        FakePlatform fake;
        writeFileBytes(dir.path() / "cabrillo.ini", row.extra);
        CabrilloReport r = filledReport();
        addTwo(r);
        CHECK(r.writeLog(7).ok);
        CHECK(readFileBytes(dir.path() / "RA3XYZ.cbr") == header() + row.copied + qsoLine(1) + qsoLine(2) + kEnd);
        CHECK(readFileBytes(dir.path() / "cabrillo.ini") == row.extra); // never changed
    }
}

TEST_CASE("an extra-header file that cannot be opened is left out")
{
    TempDir dir;
    FakePlatform fake;
    fs::create_directory(dir.path() / "cabrillo.ini");
    CabrilloReport r = filledReport();
    CHECK(r.writeLog(7).ok);
    CHECK(readFileBytes(dir.path() / "RA3XYZ.cbr") == header() + kEnd);
}

TEST_CASE("a failed write or close is reported, the QSO lines emptied all the same")
{
    for (int failAt : {1, 2, 3}) { // header, extra-header bytes, QSO lines and end
        CAPTURE(failAt);
        TempDir dir;
        FakePlatform fake;
        writeFileBytes(dir.path() / "cabrillo.ini", "X-EXTRA: 1\r\n");
        injectFileFaults(failAt, false);
        CabrilloReport r = filledReport();
        addTwo(r);
        const CabrilloReport::WriteOutcome outcome = r.writeLog(7);
        CHECK_FALSE(outcome.ok);
        CHECK(outcome.text == "Could not write RA3XYZ.cbr: No space left on device (injected)");
        CHECK(r.qsoLines.empty());
    }
    TempDir dir;
    FakePlatform fake;
    injectFileFaults(0, true);
    CabrilloReport r = filledReport();
    addTwo(r);
    const CabrilloReport::WriteOutcome outcome = r.writeLog(7);
    CHECK_FALSE(outcome.ok);
    CHECK(outcome.text == "Could not write RA3XYZ.cbr: Input/output error (injected)");
    CHECK(r.qsoLines.empty());
}

TEST_CASE("a read error in the extra-header file fails the report")
{
    // The copy reads in blocks of 4096 bytes: the failing read comes first, after one
    // whole block, or after two.
    std::string big(10000, 'x');
    big.back() = '\n';
    struct Row {
        std::string extra;
        int failAtRead;
        std::size_t copiedBytes;
    };
    const Row rows[] = {
        /* 1 */ {"X-EXTRA: 1\r\n", 1, 0},
        /* 2 */ {big, 2, 4096},
        /* 3 */ {big, 3, 8192},
        /* 4 */ {"", 1, 0}, // even with nothing to copy, the read failed
    };
    int number = 0;
    for (const Row& row : rows) {
        ++number;
        CAPTURE(number);
        TempDir dir;
        FakePlatform fake;
        writeFileBytes(dir.path() / "cabrillo.ini", row.extra);
        injectFileFaults(0, false, row.failAtRead);
        CabrilloReport r = filledReport();
        addTwo(r);
        const CabrilloReport::WriteOutcome outcome = r.writeLog(7);
        CHECK_FALSE(outcome.ok);
        CHECK(outcome.text == "Could not write RA3XYZ.cbr: cabrillo.ini: Input/output error (injected)");
        CHECK(r.qsoLines.empty());
        // Nothing is written after the failed read: the file is not a whole log.
        CHECK(readFileBytes(dir.path() / "RA3XYZ.cbr") == header() + row.extra.substr(0, row.copiedBytes));
        CHECK(readFileBytes(dir.path() / "cabrillo.ini") == row.extra);
    }
}

TEST_CASE("a read error in the extra-header file is shown to the operator as a failure")
{
    TempDir dir;
    FakePlatform fake;
    writeFileBytes(dir.path() / "cabrillo.ini", "X-EXTRA: 1\r\n");
    PluginApp e;
    e.resetStats(1, "RA3XYZ", makeOleDate(2026, 12, 7, 10, 0, 0), makeOleDate(2026, 12, 7, 12, 0, 0), "");
    e.window.closeAndWait(); // the reset may have opened it; keep tests apart
    QsoRecord q;
    q.call = q.multiplierKey = "UA1AAA";
    q.band = "80";
    q.mode = "CW";
    q.qsoTime = makeOleDate(2026, 12, 7, 10, 5, 0);
    e.addData(q);
    injectFileFaults(0, false, 1);
    int score = 0;
    e.getResult(&score);
    CHECK(score == -1);
    REQUIRE(FakePlatform::boxes().size() == 1);
    const RecordedBox& box = FakePlatform::boxes()[0];
    CHECK(box.text == "Could not write RA3XYZ.cbr: cabrillo.ini: Input/output error (injected)");
    CHECK(box.caption == "Output");
    CHECK(box.icon == platform::BoxIcon::Error);
}

#if defined(__linux__)
TEST_CASE("a real read error in the extra-header file fails the report")
{
    // The process's own memory file opens, and reading its first page (never mapped)
    // fails with EIO: a read error without a faulty disk.
    TempDir dir;
    FakePlatform fake;
    fs::create_symlink("/proc/self/mem", dir.path() / "cabrillo.ini");
    CabrilloReport r = filledReport();
    addTwo(r);
    const CabrilloReport::WriteOutcome outcome = r.writeLog(7);
    CHECK_FALSE(outcome.ok);
    CHECK(outcome.text == "Could not write RA3XYZ.cbr: cabrillo.ini: Input/output error");
    CHECK(r.qsoLines.empty());
}
#endif

TEST_CASE("a file that cannot be created is reported with the system's reason")
{
    TempDir dir;
    FakePlatform fake;
    SUBCASE("a folder in the way")
    {
        fs::create_directory(dir.path() / "RA3XYZ.cbr");
        CabrilloReport r = filledReport();
        addTwo(r);
        const CabrilloReport::WriteOutcome outcome = r.writeLog(7);
        CHECK_FALSE(outcome.ok);
        CHECK(outcome.text.rfind("Could not write RA3XYZ.cbr: ", 0) == 0);
        CHECK(outcome.text.size() > std::string("Could not write RA3XYZ.cbr: ").size());
        CHECK(r.qsoLines.empty());
    }
    SUBCASE("a name longer than the file system takes")
    {
        CabrilloReport r = filledReport();
        r.baseName = std::string(300, 'K');
        const CabrilloReport::WriteOutcome outcome = r.writeLog(7);
        CHECK_FALSE(outcome.ok);
        CHECK(outcome.text.rfind("Could not write " + r.baseName + ".cbr: ", 0) == 0);
    }
}

TEST_CASE("a reserved device name is written as an ordinary file")
{
    TempDir dir;
    FakePlatform fake;
    CabrilloReport r = filledReport();
    r.setupHeader("con", COleDateTime{}, COleDateTime{}); // headless: confirms; Win32 test
                                                          // program: no template, cancels
    CHECK(r.baseName == "con_");
    const CabrilloReport::WriteOutcome outcome = r.writeLog(1);
    CHECK(outcome.ok);
    CHECK(outcome.text == "File produced: con_.cbr");
    CHECK(readFileBytes(dir.path() / "con_.cbr").rfind("START-OF-LOG: 3.0\r\n", 0) == 0);
}

TEST_CASE("names Windows would take for devices become ordinary files")
{
    // Under Wine a device name writes into the device: the box says "File produced" and
    // no file appears. So each name must show up in the folder listing as a file.
    struct Row {
        const char* ownCall;
        const char* fileName;
    };
    const Row rows[] = {
        /* 1 */ {"CON.X.Y", "CON_.X.Y.cbr"},
        /* 2 */ {"NUL .X", "NUL _.X.cbr"},
        /* 3 */ {"AUX .", "AUX _..cbr"},
        /* 4 */ {"prn   .x", "prn   _.x.cbr"},
        /* 5 */ {"COM1 .A", "COM1 _.A.cbr"},
        /* 6 */ {"CONIN$", "CONIN$_.cbr"},
        /* 7 */ {"conout$ .", "conout$ _..cbr"},
    };
    int number = 0;
    for (const Row& row : rows) {
        ++number;
        CAPTURE(number);
        TempDir dir;
        FakePlatform fake;
        CabrilloReport r = filledReport();
        r.baseName = cabrillo::fileBaseName(row.ownCall);
        const CabrilloReport::WriteOutcome outcome = r.writeLog(1);
        CHECK(outcome.ok);
        CHECK(outcome.text == std::string("File produced: ") + row.fileName);
        std::vector<std::string> files;
        for (const fs::directory_entry& e : fs::directory_iterator(dir.path()))
            if (e.is_regular_file() && e.path().filename() != "cabrillo.ini")
                files.push_back(e.path().filename().string());
        REQUIRE(files.size() == 1);
        CHECK(files[0] == row.fileName);
        CHECK(readFileBytes(dir.path() / row.fileName).rfind("START-OF-LOG: 3.0\r\n", 0) == 0);
    }
}

#if !defined(_WIN32)
TEST_CASE("an unwritable folder and a full disk are reported")
{
    SUBCASE("unwritable folder")
    {
        TempDir dir;
        FakePlatform fake;
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        const bool stillWritable = ::access(".", W_OK) == 0; // root writes anyway
        std::error_code ignored;
        if (stillWritable)
            fs::current_path("/sys", ignored); // refuses new files even to root
        CabrilloReport r = filledReport();
        addTwo(r);
        const CabrilloReport::WriteOutcome outcome = r.writeLog(7);
        fs::current_path(dir.path(), ignored);
        fs::permissions(dir.path(), fs::perms::owner_all);
        CHECK_FALSE(outcome.ok);
        CHECK(outcome.text == "Could not write RA3XYZ.cbr: Permission denied");
        CHECK(r.qsoLines.empty());
    }
    SUBCASE("disk full")
    {
        TempDir dir;
        FakePlatform fake;
        fs::create_symlink("/dev/full", dir.path() / "RA3XYZ.cbr");
        CabrilloReport r = filledReport();
        const CabrilloReport::WriteOutcome outcome = r.writeLog(7);
        CHECK_FALSE(outcome.ok);
        CHECK(outcome.text == "Could not write RA3XYZ.cbr: No space left on device");
    }
}
#endif
