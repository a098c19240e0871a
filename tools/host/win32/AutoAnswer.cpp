// A hook on the calling thread's window procedures: when a top-level dialog has handled
// WM_INITDIALOG (its controls are filled, a message box's text is set), the texts to type
// go into its controls that exist, as an operator's typing would (a combo box's edit field
// included), and OK is posted to it, so its own modal loop ends it the way a click would,
// data exchange included.
#include "tools/host/AutoAnswer.h"

#include <windows.h>

#include <utility>

namespace host {
namespace {

AutoAnswer::Listener* gListener = nullptr; // the one active AutoAnswer's
std::vector<headless_input::TypedText>* gTyped = nullptr; // and its texts to type

constexpr int kMessageBoxTextId = 0xFFFF; // the static control that holds a box's message

std::string windowText(HWND window)
{
    char buffer[4096] = "";
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

bool isTopLevelDialog(HWND window)
{
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    return lstrcmpA(className, "#32770") == 0 && !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD);
}

// Labels of ordinary dialogs share the message text's id (IDC_STATIC), so a message box
// is told by what it lacks: any control that takes input.
BOOL CALLBACK findInputControl(HWND child, LPARAM found)
{
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    for (const char* input : {"Edit", "ComboBox", "ListBox", "SysListView32"}) {
        if (lstrcmpiA(className, input) == 0) {
            *reinterpret_cast<bool*>(found) = true;
            return FALSE;
        }
    }
    return TRUE;
}

bool isMessageBox(HWND dialog)
{
    bool hasInput = false;
    EnumChildWindows(dialog, findInputControl, reinterpret_cast<LPARAM>(&hasInput));
    return !hasInput && GetDlgItem(dialog, kMessageBoxTextId) != nullptr;
}

void answer(HWND dialog)
{
    AnsweredWindow seen;
    seen.caption = windowText(dialog);
    if (isMessageBox(dialog)) {
        seen.messageBox = true;
        seen.text = windowText(GetDlgItem(dialog, kMessageBoxTextId));
    }
    if (gListener && *gListener)
        (*gListener)(seen);
    if (!seen.messageBox && gTyped)
        for (const headless_input::TypedText& t : *gTyped)
            if (GetDlgItem(dialog, t.controlId))
                SetDlgItemTextA(dialog, t.controlId, t.text.c_str());
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

LRESULT CALLBACK afterWindowProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (call->message == WM_INITDIALOG && isTopLevelDialog(call->hwnd))
            answer(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

AutoAnswer::AutoAnswer(Listener listener, std::vector<headless_input::TypedText> typed)
{
    if (gListener)
        return;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, afterWindowProc, nullptr, GetCurrentThreadId());
    if (hook_) {
        gListener = new Listener(std::move(listener));
        gTyped = new std::vector<headless_input::TypedText>(std::move(typed));
    }
}

AutoAnswer::~AutoAnswer()
{
    if (!hook_)
        return;
    UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
    delete gListener;
    gListener = nullptr;
    delete gTyped;
    gTyped = nullptr;
}

} // namespace host
