#pragma once
// The test-side robot for dialogs under Wine: it runs on a thread of its own (CreateThread),
// finds a window by its caption, reads and types into controls the way a user's keys
// would reach them, presses buttons and takes screenshots. It never calls doctest: what it
// finds wrong goes into failures, which the test's own thread checks after join().

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace robot {

class Robot {
public:
    using Script = std::function<void(Robot&)>;

    // Starts the script on a new thread at once.
    explicit Robot(Script script);
    ~Robot();
    Robot(const Robot&) = delete;
    Robot& operator=(const Robot&) = delete;

    // Waits for the script to end (at most timeoutMs); false if it did not.
    bool join(DWORD timeoutMs = 30000);
    std::vector<std::string> failures;

    // --- for the script ---
    void expect(bool condition, const std::string& what);
    void expectEqual(const std::string& actual, const std::string& expected, const std::string& what);

    // A visible top-level dialog (class #32770) with this caption, or null after timeoutMs.
    HWND waitForDialog(const char* caption, DWORD timeoutMs = 10000);
    // Waits until window no longer exists.
    bool waitUntilGone(HWND window, DWORD timeoutMs = 10000);

    static std::string text(HWND window);
    static std::string itemText(HWND dialog, int id) { return text(GetDlgItem(dialog, id)); }
    static std::vector<std::string> comboEntries(HWND dialog, int id);
    static int comboSelection(HWND dialog, int id);

    // Replaces the control's text by typing: select all, then one character message per
    // byte ('\r' is the Enter key, which a multi-line edit turns into a line break). For a
    // combo box the keys go to its edit field.
    void type(HWND dialog, int id, const std::string& keys);
    // Chooses the list entry with exactly this text, as a click in the dropped-down list.
    void choose(HWND dialog, int comboId, const std::string& entry);
    // Presses a push button.
    void press(HWND dialog, int buttonId);

    // Text and icon of a message box.
    static std::string messageBoxText(HWND box);
    static HICON messageBoxIcon(HWND box);

    // The window as it stands on the screen, as a PNG file; false when it cannot.
    static bool screenshot(HWND window, const std::string& pngPath);

private:
    static DWORD WINAPI threadMain(void* self);
    Script script_;
    HANDLE thread_ = nullptr;
};

// Where artifacts go: <build folder>\artifacts, from the plug-in's path (KORVANE_PLUGIN is
// <build folder>\bin\Stats.dll). Created when missing.
std::string artifactsFolder();

} // namespace robot
