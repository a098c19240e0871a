// The real setup dialog under Wine, through the exports of Stats.dll: a robot on a second
// thread finds it by its caption, checks what each control shows, types, chooses, presses
// OK or CANCEL, and dismisses the "Output" box that the summary shows after the report.
// The host's thread (this one) owns a stand-in host window, so that the dialog's owner
// and the disabling of that window can be checked.

#include "../../plugin/exports/PluginUnderTest.h"
#include "../../plugin/exports/cabrillo_golden.h"
#include "Golden.h"
#include "TempDir.h"
#include "resources/SetupDialogIds.h"
#include "setup_dialog_robot.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using robot::Robot;
using Failures = std::vector<std::string>;

// A top-level window of the host's thread, active while the host calls the plug-in.
class HostWindow {
public:
    HostWindow()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KorvaneHostStandIn";
        RegisterClassA(&wc); // a second registration fails harmlessly
        window = CreateWindowExA(0, wc.lpszClassName, "Host stand-in", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 600, 50, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        SetActiveWindow(window);
        pump();
    }
    ~HostWindow() { DestroyWindow(window); }
    static void pump()
    {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    HWND window = nullptr;
};

std::string settingsValue(const TempDir& dir, const std::string& key)
{
    return golden::iniValue(readFileBytes(dir.settingsPath()), key);
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const auto at = text.find(from);
    REQUIRE(at != std::string::npos);
    return text.replace(at, from.size(), to);
}

struct BoxSeen {
    std::string text;
    HICON icon = nullptr;
    HWND owner = nullptr;
};

// Runs the summary while a robot reads and dismisses the "Output" box.
std::string summaryWithBox(PluginUnderTest& p, int& score, BoxSeen& seen)
{
    Robot box([&](Robot& r) {
        HWND b = r.waitForDialog("Output");
        if (!b)
            return;
        seen.text = Robot::messageBoxText(b);
        seen.icon = Robot::messageBoxIcon(b);
        seen.owner = GetWindow(b, GW_OWNER);
        r.press(b, IDOK);
        r.waitUntilGone(b);
    });
    const std::string text = p.result(&score);
    REQUIRE(box.join());
    CHECK(box.failures == Failures{});
    return text;
}

// What the dialog shows for golden::kSettings plus Claimed=5 and own call RA3XYZ/P.
void checkLoadedValues(Robot& r, HWND d)
{
    r.expectEqual(Robot::itemText(d, IDC_CONTEST), "KORVANE", "CONTEST");
    r.expectEqual(Robot::itemText(d, IDC_CALLSIGN), "RA3XYZ/P", "CALLSIGN");
    r.expectEqual(Robot::itemText(d, IDC_CLAIMED), "5", "CLAIMED");
    r.expectEqual(Robot::itemText(d, IDC_CATEGORY_OPERATOR), "SINGLE-OP", "CATEGORY-OPERATOR");
    r.expect(Robot::comboSelection(d, IDC_CATEGORY_OPERATOR) == 0, "SINGLE-OP selected");
    r.expectEqual(Robot::itemText(d, IDC_CATEGORY_BAND), "ALL", "CATEGORY-BAND");
    r.expectEqual(Robot::itemText(d, IDC_CATEGORY_POWER), "HIGH", "CATEGORY-POWER");
    r.expectEqual(Robot::itemText(d, IDC_CATEGORY_OVERLAY), "WITHOUT USING", "CATEGORY-OVERLAY");
    r.expect(Robot::comboSelection(d, IDC_CATEGORY_OVERLAY) == CB_ERR, "no overlay entry selected");
    r.expect(!IsWindowEnabled(GetDlgItem(d, IDC_CATEGORY_OVERLAY)), "overlay box disabled");
    r.expect(IsWindowEnabled(GetDlgItem(d, IDC_CATEGORY_OPERATOR)) != FALSE, "operator box enabled");
    r.expectEqual(Robot::itemText(d, IDC_LOCATION), "", "LOCATION");
    r.expectEqual(Robot::itemText(d, IDC_NAME), "Ivan Petrov", "NAME");
    r.expectEqual(Robot::itemText(d, IDC_ADDRESS), "Lenina 1\r\nMoscow", "ADDRESS");
    r.expectEqual(Robot::itemText(d, IDC_OPERATORS), "RA3XYZ UA3AAA", "OPERATORS");
    r.expectEqual(Robot::itemText(d, IDC_CLUB), "Radio Club", "CLUB");
    r.expectEqual(Robot::itemText(d, IDC_SOAPBOX), "Good luck\r\n73", "SOAPBOX");
    r.expectEqual(Robot::itemText(d, IDC_EMAIL), "ra3xyz@example.org", "E-MAIL");
    r.expectEqual(Robot::itemText(d, IDOK), "OK", "OK button");
    r.expectEqual(Robot::itemText(d, IDCANCEL), "CANCEL", "CANCEL button");
    const std::vector<std::vector<std::string>> lists{
        Robot::comboEntries(d, IDC_CATEGORY_OPERATOR), Robot::comboEntries(d, IDC_CATEGORY_BAND),
        Robot::comboEntries(d, IDC_CATEGORY_POWER), Robot::comboEntries(d, IDC_CATEGORY_OVERLAY)};
    const std::vector<std::vector<std::string>> expected{
        {"SINGLE-OP", "MULTI-OP", "VETERAN", "INVALID"}, {"ALL", "160", "80"}, {"HIGH", "LOW"},
        {"MOST", "SO", "SO160", "SO80"}};
    r.expect(lists == expected, "the combo box lists of the template");
}

void prepareFolder(const TempDir& dir)
{
    writeFileBytes(dir.settingsPath(), golden::kSettings + "Claimed=5\r\n");
    writeFileBytes(dir.path() / "cabrillo.ini", golden::kExtraHeader);
}

} // namespace

TEST_CASE("setup dialog under Wine: shown as loaded, typed into, confirmed; the report follows")
{
    TempDir dir;
    prepareFolder(dir);
    HostWindow host;
    REQUIRE(GetActiveWindow() == host.window);
    PluginUnderTest p(host::NameKind::Decorated);
    const std::string png = robot::artifactsFolder() + "\\setup_dialog.png";
    DeleteFileA(png.c_str());

    Robot robot([&](Robot& r) {
        HWND d = r.waitForDialog("Korvane");
        if (!d)
            return;
        r.expect(GetWindow(d, GW_OWNER) == host.window, "owned by the host's active window");
        r.expect(!IsWindowEnabled(host.window), "the host's window is disabled meanwhile");
        checkLoadedValues(r, d);
        r.expect(Robot::screenshot(d, png), "screenshot " + png);

        r.type(d, IDC_NAME, "Petr Sidorov");
        r.type(d, IDC_ADDRESS, "Tverskaya 7\rMoscow"); // Enter between the lines
        r.choose(d, IDC_CATEGORY_OPERATOR, "MULTI-OP");
        r.type(d, IDC_CATEGORY_BAND, "40");            // typed by hand, in no entry
        r.type(d, IDC_LOCATION, "MO");
        r.type(d, IDC_CLAIMED, "999");                 // shown, never taken
        r.expectEqual(Robot::itemText(d, IDC_ADDRESS), "Tverskaya 7\r\nMoscow", "typed address");
        r.expectEqual(Robot::itemText(d, IDC_CATEGORY_OPERATOR), "MULTI-OP", "chosen category");
        r.expectEqual(Robot::itemText(d, IDC_CATEGORY_BAND), "40", "typed band");
        r.press(d, IDOK);
        r.waitUntilGone(d);
    });
    CHECK(p.reset(1, "RA3XYZ/P", golden::kStart, golden::kEnd, "") == 1);
    REQUIRE(robot.join());
    CHECK(robot.failures == Failures{});
    CHECK(IsWindowEnabled(host.window));
    CHECK(std::filesystem::file_size(png) > 1000);

    CHECK(settingsValue(dir, "Name") == "Petr Sidorov");
    CHECK(settingsValue(dir, "Address") == "Tverskaya 7<CR><LF>Moscow");
    CHECK(settingsValue(dir, "Category") == "MULTI-OP");
    CHECK(settingsValue(dir, "Contest") == "KORVANE");
    CHECK(settingsValue(dir, "Location") == "MO");
    CHECK(settingsValue(dir, "Claimed") == "5");

    for (const host::Qso& q : golden::qsos())
        p.add(q);
    std::string expected = golden::text(golden::kReportFile);
    expected = replaced(expected, "NAME: Ivan Petrov", "NAME: Petr Sidorov");
    expected = replaced(expected, "ADDRESS: Lenina 1\r\n", "ADDRESS: Tverskaya 7\r\n");
    expected = replaced(expected, "CATEGORY-OPERATOR: SINGLE-OP", "CATEGORY-OPERATOR: MULTI-OP");
    expected = replaced(expected, "CATEGORY-BAND: ALL", "CATEGORY-BAND: 40");
    expected = replaced(expected, "LOCATION: \r\n", "LOCATION: MO\r\n");
    for (int pass = 0; pass < 2; ++pass) { // the same file twice, no line doubled
        CAPTURE(pass);
        int score = 0;
        BoxSeen box;
        const std::string text = summaryWithBox(p, score, box);
        CHECK(box.text == "File produced: RA3XYZ_P.cbr");
        CHECK(box.icon == LoadIconA(nullptr, IDI_INFORMATION));
        CHECK(box.owner == host.window);
        CHECK(score == -1);
        CHECK(text.find("Score: 4+3  = 7\r\n") != std::string::npos);
        CHECK(settingsValue(dir, "Claimed") == "7");
        CHECK(golden::equalsText(readFileBytes(dir.path() / "RA3XYZ_P.cbr"), expected));
    }
    CHECK(readFileBytes(dir.path() / "cabrillo.ini") == golden::kExtraHeader);
}

TEST_CASE("setup dialog under Wine: CANCEL keeps the settings file; the report has the loaded values")
{
    TempDir dir;
    prepareFolder(dir);
    const std::string before = readFileBytes(dir.settingsPath());
    HostWindow host;
    PluginUnderTest p(host::NameKind::Decorated);
    Robot robot([&](Robot& r) {
        HWND d = r.waitForDialog("Korvane");
        if (!d)
            return;
        r.type(d, IDC_NAME, "Typed and dropped");
        r.choose(d, IDC_CATEGORY_POWER, "LOW");
        r.press(d, IDCANCEL);
        r.waitUntilGone(d);
    });
    CHECK(p.reset(1, "RA3XYZ/P", golden::kStart, golden::kEnd, "") == 1);
    REQUIRE(robot.join());
    CHECK(robot.failures == Failures{});
    // Only the reset's own "Start" key changed.
    CHECK(replaced(readFileBytes(dir.settingsPath()), "Start=0\r\n", "") == before);

    for (const host::Qso& q : golden::qsos())
        p.add(q);
    int score = 0;
    BoxSeen box;
    summaryWithBox(p, score, box);
    CHECK(box.text == "File produced: RA3XYZ_P.cbr");
    CHECK(score == -1);
    CHECK(golden::equalsFile(readFileBytes(dir.path() / "RA3XYZ_P.cbr"), golden::kReportFile));
}

TEST_CASE("setup dialog under Wine: a file that cannot be written is reported with the error icon")
{
    TempDir dir;
    prepareFolder(dir);
    std::filesystem::create_directory(dir.path() / "RA3XYZ_P.cbr");
    HostWindow host;
    PluginUnderTest p(host::NameKind::Decorated);
    Robot robot([&](Robot& r) {
        HWND d = r.waitForDialog("Korvane");
        if (!d)
            return;
        r.press(d, IDOK);
        r.waitUntilGone(d);
    });
    p.reset(1, "RA3XYZ/P", golden::kStart, golden::kEnd, "");
    REQUIRE(robot.join());
    CHECK(robot.failures == Failures{});
    p.add(golden::qsos()[0]);
    int score = 0;
    BoxSeen box;
    summaryWithBox(p, score, box);
    MESSAGE("Output box: " << box.text);
    CHECK(box.text.rfind("Could not write RA3XYZ_P.cbr: ", 0) == 0);
    CHECK(box.text.size() > std::string("Could not write RA3XYZ_P.cbr: ").size());
    CHECK(box.icon == LoadIconA(nullptr, IDI_ERROR));
    CHECK(score == -1);
    CHECK(settingsValue(dir, "Claimed") == "2");
}
