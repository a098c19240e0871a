#pragma once
// setupHeader with its dialog, answered through the platform table's dialogAnswer entry:
// the answer checks what the controls show, types, chooses and presses OK or CANCEL.
//
// Included twice: by cabrillo_setup_test.cpp (headless dialog) and by
// tests/cabrillo/win32/setup_dialog_cases_test.cpp (the real template 101 from Stats.dll under
// Wine). The includer defines SetupCaseFixture first.

#include "FakePlatform.h"
#include "TempDir.h"
#include "cabrillo/CabrilloReport.h"
#include "platform/Dialog.h"
#include "platform/SettingsFile.h"
#include "resources/SetupDialogIds.h"

#include <doctest/doctest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include "platform/DialogTestSeam.h"
#endif

#include <functional>
#include <string>
#include <vector>

namespace setup_cases {

using platform::dialog::Dialog;

// The index of the combo box entry the operator sees selected; -1 for none. From the
// dialog's own thread: the control's own message on Windows, the headless view elsewhere.
inline int selectedEntry(const Dialog& d, int comboId)
{
#if defined(_WIN32)
    return static_cast<int>(SendDlgItemMessageA(static_cast<HWND>(d.handle()), comboId, CB_GETCURSEL, 0, 0));
#else
    return platform::dialog::headless::selectedEntry(d.handle(), comboId);
#endif
}

inline std::function<void(Dialog&)>& script()
{
    static std::function<void(Dialog&)> s;
    return s;
}

inline void runScript(Dialog& d)
{
    if (script())
        script()(d);
}

// The dialog's answer until FakePlatform puts the table back.
inline void answer(std::function<void(Dialog&)> f)
{
    script() = std::move(f);
    platform::ops().dialogAnswer = runScript;
}

inline void press(Dialog& d, int id)
{
    d.postMessage(platform::dialog::kCommand, platform::dialog::makeCommand(id));
}

inline int run(CabrilloReport& r, const std::string& ownCall)
{
    return r.setupHeader(ownCall, makeOleDate(2026, 12, 7, 10, 0, 0), makeOleDate(2026, 12, 7, 12, 0, 0));
}

inline std::string key(const char* name) { return settings::read(name, "(missing)", 10000); }

// The keys of the settings file in the order they stand there.
inline std::vector<std::string> keyOrder(const std::string& ini)
{
    std::vector<std::string> keys;
    std::size_t at = 0;
    while (at < ini.size()) {
        std::size_t end = ini.find('\n', at);
        if (end == std::string::npos)
            end = ini.size();
        const std::string line = ini.substr(at, end - at);
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos)
            keys.push_back(line.substr(0, eq));
        at = end + 1;
    }
    return keys;
}

} // namespace setup_cases

#define SETUP_CASE(name) TEST_CASE_FIXTURE(SetupCaseFixture, "setup dialog: " name)

SETUP_CASE("empty own call, no settings file: defaults shown, OK saves the keys in order")
{
    using namespace setup_cases;
    TempDir dir;
    FakePlatform fake;
    answer([](Dialog& d) {
        CHECK(d.itemText(IDC_CONTEST) == "KORVANE");
        CHECK(d.itemText(IDC_CALLSIGN) == "");
        CHECK(d.itemText(IDC_CLAIMED) == "");
        CHECK(d.itemText(IDC_CATEGORY_OPERATOR) == "SINGLE-OP");
        CHECK(selectedEntry(d, IDC_CATEGORY_OPERATOR) == 0);
        CHECK(d.itemText(IDC_CATEGORY_BAND) == "ALL");
        CHECK(d.itemText(IDC_CATEGORY_POWER) == "HIGH");
        CHECK(selectedEntry(d, IDC_CATEGORY_POWER) == 0);
        CHECK(d.itemText(IDC_CATEGORY_OVERLAY) == "WITHOUT USING"); // in no entry: edit field
        CHECK(selectedEntry(d, IDC_CATEGORY_OVERLAY) == -1);
        CHECK(d.itemText(IDC_LOCATION) == "");
        for (int id : {IDC_NAME, IDC_ADDRESS, IDC_OPERATORS, IDC_CLUB, IDC_SOAPBOX, IDC_EMAIL})
            CHECK(d.itemText(id) == "");
        press(d, platform::dialog::kIdOk);
    });
    CabrilloReport r;
    r.qsoLines = {"old"};
    CHECK(run(r, "") == 1);
    CHECK(r.baseName == "MOLTA");
    CHECK(r.callsign == "");
    CHECK(r.operators == "");
    CHECK(r.contest == "KORVANE");
    CHECK(r.categoryOperator == "SINGLE-OP");
    CHECK(r.categoryBand == "ALL");
    CHECK(r.categoryPower == "HIGH");
    CHECK(r.categoryOverlay == "WITHOUT USING");
    CHECK(r.qsoLines.empty());
    const std::vector<std::string> expected{"Operators", "Name", "Address", "Category", "Contest",
                                            "Email", "Club", "SoapBox", "Location"};
    CHECK(keyOrder(readFileBytes(dir.settingsPath())) == expected);
    CHECK(key("Category") == "SINGLE-OP");
    CHECK(key("Contest") == "KORVANE");
    CHECK(key("Claimed") == "(missing)"); // never written here
}

SETUP_CASE("the dialog shows the loaded settings; the combo lists come from the template")
{
    using namespace setup_cases;
    TempDir dir;
    FakePlatform fake;
    writeFileBytes(dir.settingsPath(),
                   "[Settings]\r\nOperators=RA3XYZ UA3AAA\r\nName=Ivan Petrov\r\n"
                   "Address=Lenina 1<CR><LF>Moscow\r\nClaimed=321\r\nEmail=ra3xyz@example.org\r\n"
                   "Club=Radio Club\r\nSoapBox=Fun<CR><LF>73\r\nLocation=MO\r\nCategory=VETERAN\r\n"
                   "Contest=OTHER\r\n");
    answer([](Dialog& d) {
        CHECK(d.itemText(IDC_CALLSIGN) == "RA3XYZ/P");
        CHECK(d.itemText(IDC_OPERATORS) == "RA3XYZ UA3AAA");
        CHECK(d.itemText(IDC_NAME) == "Ivan Petrov");
        CHECK(d.itemText(IDC_ADDRESS) == "Lenina 1\r\nMoscow");
        CHECK(d.itemText(IDC_CLAIMED) == "321");
        CHECK(d.itemText(IDC_EMAIL) == "ra3xyz@example.org");
        CHECK(d.itemText(IDC_CLUB) == "Radio Club");
        CHECK(d.itemText(IDC_SOAPBOX) == "Fun\r\n73");
        CHECK(d.itemText(IDC_LOCATION) == "MO");
        CHECK(d.itemText(IDC_CONTEST) == "KORVANE");            // fixed, not the key
        CHECK(d.itemText(IDC_CATEGORY_OPERATOR) == "SINGLE-OP"); // fixed, not the key
        std::vector<std::vector<std::string>> lists;
        for (int id : {IDC_CATEGORY_OPERATOR, IDC_CATEGORY_BAND, IDC_CATEGORY_POWER, IDC_CATEGORY_OVERLAY}) {
            lists.emplace_back();
            for (int i = 0; i < d.comboCount(id); ++i)
                lists.back().push_back(d.comboEntry(id, i));
        }
        const std::vector<std::vector<std::string>> expected{
            {"SINGLE-OP", "MULTI-OP", "VETERAN", "INVALID"}, {"ALL", "160", "80"}, {"HIGH", "LOW"},
            {"MOST", "SO", "SO160", "SO80"}};
        CHECK(lists == expected);
        press(d, platform::dialog::kIdCancel);
    });
    CabrilloReport r;
    CHECK(run(r, "RA3XYZ/P") == 0);
    CHECK(r.baseName == "RA3XYZ_P");
    CHECK(r.callsign == "RA3XYZ/P");
    CHECK(r.claimed == "321");
    CHECK(r.location == "MO");
    CHECK(r.address == "Lenina 1\r\nADDRESS: Moscow"); // writer form after CANCEL too
    CHECK(r.soapbox == "Fun\r\nSOAPBOX: 73");
}

SETUP_CASE("typed values are taken on OK: address lines, category by hand, location")
{
    using namespace setup_cases;
    TempDir dir;
    FakePlatform fake;
    answer([](Dialog& d) {
        d.setItemText(IDC_ADDRESS, "A\r\nB");
        d.setItemText(IDC_SOAPBOX, "Hello\r\n");
        d.setItemText(IDC_CATEGORY_OPERATOR, "CHECKLOG"); // typed, in no entry
        d.setItemText(IDC_CATEGORY_BAND, "1");            // typed, a prefix of "160"
        d.comboSelect(IDC_CATEGORY_POWER, 1);             // chosen: "LOW"
        d.setItemText(IDC_LOCATION, "MO");
        d.setItemText(IDC_NAME, "Name");
        d.setItemText(IDC_EMAIL, "e@x");
        d.setItemText(IDC_CLUB, "Club");
        d.setItemText(IDC_OPERATORS, "OP1 OP2");
        press(d, platform::dialog::kIdOk);
    });
    CabrilloReport r;
    CHECK(run(r, "RA3XYZ") == 1);
    CHECK(r.address == "A\r\nADDRESS: B");
    CHECK(r.soapbox == "Hello\r\nSOAPBOX: "); // a last line with an empty value
    CHECK(r.categoryOperator == "CHECKLOG");
    CHECK(r.categoryBand == "1");
    CHECK(r.categoryPower == "LOW");
    CHECK(r.location == "MO");
    CHECK(r.operators == "OP1 OP2");
    CHECK(key("Address") == "A<CR><LF>B");
    CHECK(key("SoapBox") == "Hello<CR><LF>");
    CHECK(key("Category") == "CHECKLOG");
    CHECK(key("Location") == "MO");
    CHECK(key("Name") == "Name");
    CHECK(key("Email") == "e@x");
    CHECK(key("Club") == "Club");
    CHECK(key("Operators") == "OP1 OP2");
}

SETUP_CASE("MULTI-OP chosen is saved and used once; the next dialog starts at SINGLE-OP")
{
    using namespace setup_cases;
    TempDir dir;
    FakePlatform fake;
    answer([](Dialog& d) {
        d.comboSelect(IDC_CATEGORY_OPERATOR, 1);
        CHECK(d.itemText(IDC_CATEGORY_OPERATOR) == "MULTI-OP");
        press(d, platform::dialog::kIdOk);
    });
    CabrilloReport r;
    CHECK(run(r, "RA3XYZ") == 1);
    CHECK(r.categoryOperator == "MULTI-OP");
    CHECK(key("Category") == "MULTI-OP");
    answer([](Dialog& d) {
        CHECK(d.itemText(IDC_CATEGORY_OPERATOR) == "SINGLE-OP");
        press(d, platform::dialog::kIdOk);
    });
    CHECK(run(r, "RA3XYZ") == 1);
    CHECK(r.categoryOperator == "SINGLE-OP");
}

SETUP_CASE("CLAIMED edits are dropped, CONTEST edits reach only the Contest key")
{
    using namespace setup_cases;
    TempDir dir;
    FakePlatform fake;
    settings::write("Claimed", "12");
    answer([](Dialog& d) {
        d.setItemText(IDC_CLAIMED, "99999");
        d.setItemText(IDC_CONTEST, "MY CONTEST");
        press(d, platform::dialog::kIdOk);
    });
    CabrilloReport r;
    CHECK(run(r, "RA3XYZ") == 1);
    CHECK(r.claimed == "12");
    CHECK(key("Claimed") == "12");
    CHECK(r.contest == "MY CONTEST");
    CHECK(key("Contest") == "MY CONTEST");
}

SETUP_CASE("a changed CALLSIGN changes the call, not the file name")
{
    using namespace setup_cases;
    TempDir dir;
    FakePlatform fake;
    answer([](Dialog& d) {
        CHECK(d.itemText(IDC_CALLSIGN) == " RA3XYZ ");
        // No key: the own call as the profile read's default, whose trailing blanks the
        // read drops (Windows' rule for defaults).
        CHECK(d.itemText(IDC_OPERATORS) == " RA3XYZ");
        d.setItemText(IDC_CALLSIGN, "UA1AAA");
        press(d, platform::dialog::kIdOk);
    });
    CabrilloReport r;
    CHECK(run(r, " RA3XYZ ") == 1);
    CHECK(r.callsign == "UA1AAA");
    CHECK(r.baseName == "RA3XYZ");
}

SETUP_CASE("an Operators key present but empty gives empty operators")
{
    using namespace setup_cases;
    TempDir dir;
    FakePlatform fake;
    writeFileBytes(dir.settingsPath(), "[Settings]\r\nOperators=\r\n");
    answer([](Dialog& d) {
        CHECK(d.itemText(IDC_OPERATORS) == "");
        press(d, platform::dialog::kIdOk);
    });
    CabrilloReport r;
    CHECK(run(r, "RA3XYZ") == 1);
    CHECK(r.operators == "");
}

SETUP_CASE("a literal <CR> typed into the address continues at once and breaks at the next load")
{
    using namespace setup_cases;
    TempDir dir;
    FakePlatform fake;
    answer([](Dialog& d) {
        d.setItemText(IDC_ADDRESS, "A<CR>B");
        press(d, platform::dialog::kIdOk);
    });
    CabrilloReport r;
    CHECK(run(r, "RA3XYZ") == 1);
    CHECK(r.address == "A\r\nADDRESS: B");
    CHECK(key("Address") == "A<CR>B");
    answer([](Dialog& d) {
        const std::string shown = d.itemText(IDC_ADDRESS);
        CHECK(shown.find('\r') != std::string::npos);
        CHECK(shown.find("<CR>") == std::string::npos);
        press(d, platform::dialog::kIdCancel);
    });
    CHECK(run(r, "RA3XYZ") == 0);
    CHECK(r.address == "A\r\nADDRESS: B");
}

SETUP_CASE("CANCEL writes nothing, keeps the QSO lines and drops what was typed")
{
    using namespace setup_cases;
    TempDir dir;
    FakePlatform fake;
    const std::string ini = "[Settings]\r\nName=Kept\r\nAddress=X<CR><LF>Y\r\n";
    writeFileBytes(dir.settingsPath(), ini);
    answer([](Dialog& d) {
        d.setItemText(IDC_NAME, "Typed");
        d.setItemText(IDC_ADDRESS, "Typed\r\nToo");
        d.comboSelect(IDC_CATEGORY_OPERATOR, 2);
        press(d, platform::dialog::kIdCancel);
    });
    CabrilloReport r;
    r.qsoLines = {"line 1\r\n", "line 2\r\n"};
    CHECK(run(r, "RA3XYZ") == 0);
    CHECK(readFileBytes(dir.settingsPath()) == ini);
    CHECK(r.qsoLines.size() == 2);
    CHECK(r.name == "Kept");
    CHECK(r.address == "X\r\nADDRESS: Y");
    CHECK(r.categoryOperator == "SINGLE-OP");
}

SETUP_CASE("the close box is CANCEL")
{
    using namespace setup_cases;
    TempDir dir;
    FakePlatform fake;
    answer([](Dialog& d) {
        d.setItemText(IDC_NAME, "Typed");
        d.postMessage(platform::dialog::kClose);
    });
    CabrilloReport r;
    CHECK(run(r, "RA3XYZ") == 0);
    CHECK(r.name == "");
    CHECK_FALSE(std::filesystem::exists(dir.settingsPath()));
}

SETUP_CASE("without a Plugins folder the dialog and the result are the same")
{
    using namespace setup_cases;
    TempDir dir(false);
    FakePlatform fake;
    answer([](Dialog& d) {
        d.setItemText(IDC_NAME, "Typed");
        press(d, platform::dialog::kIdOk);
    });
    CabrilloReport r;
    CHECK(run(r, "RA3XYZ") == 1);
    CHECK(r.name == "Typed");
    CHECK_FALSE(std::filesystem::exists(dir.path() / "Plugins"));
}

SETUP_CASE("values are read through a 10000-byte buffer")
{
    using namespace setup_cases;
    TempDir dir;
    FakePlatform fake;
    const std::string longName(12000, 'N');
    writeFileBytes(dir.settingsPath(), "[Settings]\r\nName=" + longName + "\r\n");
    answer([](Dialog& d) { press(d, platform::dialog::kIdCancel); });
    CabrilloReport r;
    run(r, "RA3XYZ");
    CHECK(r.name == std::string(9999, 'N'));
}
