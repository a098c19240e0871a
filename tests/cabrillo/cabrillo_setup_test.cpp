// setupHeader in the core alone. The dialog cases run headless here; under Wine the same
// cases run against the real template (tests/cabrillo/win32/setup_dialog_cases_test.cpp).
#include "FakePlatform.h"
#include "TempDir.h"
#include "cabrillo/CabrilloReport.h"
#include "contract/HeadlessInput.h"
#include "platform/Dialog.h"
#include "platform/SettingsFile.h"

#include <doctest/doctest.h>

#include <cstdlib>

namespace {

int runSetup(CabrilloReport& r, const std::string& ownCall)
{
    return r.setupHeader(ownCall, makeOleDate(2026, 12, 7, 10, 0, 0), makeOleDate(2026, 12, 7, 12, 0, 0));
}

// Not confirmed: the loaded values stay, in writer form, nothing is saved, the lines stay.
void checkNotConfirmed()
{
    TempDir dir;
    writeFileBytes(dir.settingsPath(), "[Settings]\r\nAddress=A<CR><LF>B\r\n");
    CabrilloReport r;
    r.qsoLines = {"kept\r\n"};
    CHECK(runSetup(r, "RA3XYZ/P") == 0);
    CHECK(r.baseName == "RA3XYZ_P");
    CHECK(r.operators == "RA3XYZ/P");
    CHECK(r.address == "A\r\nADDRESS: B");
    CHECK(r.qsoLines.size() == 1);
    CHECK(readFileBytes(dir.settingsPath()) == "[Settings]\r\nAddress=A<CR><LF>B\r\n");
}

} // namespace

#if defined(_WIN32)

// The test program carries no template 101 (only Stats.dll does): the dialog cannot be
// created, which counts as not confirmed.
TEST_CASE("a dialog that cannot be created counts as not confirmed")
{
    FakePlatform fake;
    checkNotConfirmed();
}

#else

struct SetupCaseFixture {};
#include "cabrillo_setup_cases.h"

TEST_CASE("unattended, the headless dialog confirms with the values as loaded")
{
    TempDir dir;
    FakePlatform fake; // keeps the backend's own dialogAnswer
    writeFileBytes(dir.settingsPath(), "[Settings]\r\nName=From the file\r\nSoapBox=a<CR><LF>b\r\n");
    CabrilloReport r;
    r.qsoLines = {"old\r\n"};
    CHECK(runSetup(r, "RA3XYZ") == 1);
    CHECK(r.qsoLines.empty());
    CHECK(r.name == "From the file");
    CHECK(r.soapbox == "a\r\nSOAPBOX: b");
    CHECK(settings::read("Operators", "", 100) == "RA3XYZ");
    CHECK(settings::read("SoapBox", "", 100) == "a<CR><LF>b");
    CHECK(settings::read("Category", "", 100) == "SINGLE-OP");
}

TEST_CASE("unattended, the headless dialog takes what a host typed into it")
{
    TempDir dir;
    FakePlatform fake;
    writeFileBytes(dir.settingsPath(), "[Settings]\r\nName=From the file\r\n");
    // Another template's entry and a malformed line change nothing.
    ::setenv(headless_input::kVariable,
             "101:1013=MULTI-OP\n101:1015=LOW\n104:1007=Other\n101:1007\n101:1016=SO80\n", 1);
    CabrilloReport r;
    const int confirmed = runSetup(r, "RA3XYZ");
    ::unsetenv(headless_input::kVariable);
    CHECK(confirmed == 1);
    CHECK(r.categoryOperator == "MULTI-OP");
    CHECK(r.categoryBand == "ALL");
    CHECK(r.categoryPower == "LOW");
    CHECK(r.categoryOverlay == "SO80");
    CHECK(r.name == "From the file");
    CHECK(settings::read("Category", "", 100) == "MULTI-OP");
}

TEST_CASE("a dialog that cannot be created counts as not confirmed")
{
    FakePlatform fake;
    platform::ops().dialogAnswer = [](platform::dialog::Dialog& d) {
        d.endDialog(platform::dialog::kRunFailed); // what the Win32 run gives without a template
    };
    checkNotConfirmed();
}

#endif
