// The dialog layer on Win32: DialogBoxParamA on a template of the plug-in's own module,
// one dialog procedure for every dialog class, and the Dialog operations as the matching
// Win32 calls.
#include "platform/Dialog.h"
#include "platform/DialogBackend.h"
#include "platform/Platform.h"
#include "platform/win32/ModuleHandle.h"

#include <windows.h>

namespace platform::dialog {

static_assert(kDestroy == WM_DESTROY && kSize == WM_SIZE && kClose == WM_CLOSE);
static_assert(kSetCursor == WM_SETCURSOR && kInitDialog == WM_INITDIALOG);
static_assert(kCommand == WM_COMMAND && kTimer == WM_TIMER && kPrivateFirst == WM_APP);
static_assert(kCtlColorListBox == WM_CTLCOLORLISTBOX);
static_assert(kIdOk == IDOK && kIdCancel == IDCANCEL && kClicked == BN_CLICKED);

namespace {

constexpr WORD kDialogInitType = 240; // RT_DLGINIT

HWND window(const Dialog& dialog) { return static_cast<HWND>(dialog.handle()); }

HWND item(const Dialog& dialog, int controlId)
{
    HWND w = window(dialog);
    return w ? GetDlgItem(w, controlId) : nullptr;
}

LRESULT sendItem(const Dialog& dialog, int controlId, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND control = item(dialog, controlId);
    return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

// The combo box entries of the template's DLGINIT resource, as the dialog manager
// of the Windows application framework adds them before the dialog's initialisation.
void applyDialogInit(HWND dialogWindow, int templateId)
{
    HMODULE module = win32::moduleHandle();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(kDialogInitType));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return;
    for (const InitEntry& e : parseDialogInit(data, SizeofResource(module, found)))
        SendDlgItemMessageA(dialogWindow, e.controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.text.c_str()));
}

// Messages whose answer is the dialog procedure's return value itself.
bool returnsResultDirectly(UINT message)
{
    return message == WM_INITDIALOG || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
           message == WM_COMPAREITEM || message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
           message == WM_QUERYDRAGICON;
}

INT_PTR CALLBACK dialogProcedure(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrA(w, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
        DialogBackend::attach(*dialog, w, nullptr);
        applyDialogInit(w, dialog->templateId());
    } else {
        dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrA(w, DWLP_USER));
    }
    if (!dialog)
        return FALSE; // before WM_INITDIALOG or after WM_NCDESTROY
    Result result = 0;
    const bool handled = dialog->dispatch(Message{message, wParam, lParam}, result);
    if (message == WM_INITDIALOG && ops().dialogAnswer)
        ops().dialogAnswer(*dialog);
    if (message == WM_NCDESTROY) {
        // No handler may run on the object once its window is gone.
        SetWindowLongPtrA(w, DWLP_USER, 0);
        DialogBackend::detach(*dialog);
    }
    if (handled && !returnsResultDirectly(message)) {
        // The dialog manager answers a sender with DWLP_MSGRESULT, not with this return.
        SetWindowLongPtrA(w, DWLP_MSGRESULT, result);
        return TRUE;
    }
    return result;
}

} // namespace

bool DialogBackend::startTimer(Dialog& dialog, unsigned timerId, unsigned milliseconds)
{
    return SetTimer(window(dialog), timerId, milliseconds, nullptr) != 0;
}

void DialogBackend::stopTimer(Dialog& dialog, unsigned timerId)
{
    KillTimer(window(dialog), timerId);
}

Result Dialog::runModal()
{
    const INT_PTR code = DialogBoxParamA(win32::moduleHandle(), MAKEINTRESOURCEA(templateId_),
                                         GetActiveWindow(), dialogProcedure,
                                         reinterpret_cast<LPARAM>(this));
    return code == -1 ? kRunFailed : code;
}

void Dialog::endDialog(Result code)
{
    if (handle_)
        EndDialog(window(*this), code);
}

bool Dialog::hasItem(int controlId) const { return item(*this, controlId) != nullptr; }

std::string Dialog::itemText(int controlId) const
{
    HWND control = item(*this, controlId);
    if (!control)
        return std::string();
    const int length = GetWindowTextLengthA(control);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const int copied = GetWindowTextA(control, &text[0], static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void Dialog::setItemText(int controlId, const std::string& text)
{
    if (HWND control = item(*this, controlId))
        SetWindowTextA(control, text.c_str());
}

int Dialog::comboCount(int controlId) const
{
    const LRESULT n = sendItem(*this, controlId, CB_GETCOUNT, 0, 0);
    return n > 0 ? static_cast<int>(n) : 0;
}

std::string Dialog::comboEntry(int controlId, int index) const
{
    const LRESULT length = sendItem(*this, controlId, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = sendItem(*this, controlId, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void Dialog::comboSelect(int controlId, int index) { sendItem(*this, controlId, CB_SETCURSEL, index, 0); }

void Dialog::listReplace(int controlId, const std::vector<std::string>& texts,
                         const std::string& prefix)
{
    HWND list = item(*this, controlId);
    if (!list)
        return;
    std::size_t bytes = 0;
    for (const std::string& text : texts)
        bytes += prefix.size() + text.size() + 1;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SendMessageA(list, LB_INITSTORAGE, texts.size(), static_cast<LPARAM>(bytes));
    std::string entry;
    for (const std::string& text : texts) {
        entry.assign(prefix).append(text);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

Rect Dialog::windowRect() const
{
    RECT r{};
    if (handle_)
        GetWindowRect(window(*this), &r);
    return Rect{r.left, r.top, r.right, r.bottom};
}

Rect Dialog::clientRect() const
{
    RECT r{};
    if (handle_)
        GetClientRect(window(*this), &r);
    return Rect{r.left, r.top, r.right, r.bottom};
}

void Dialog::moveTo(int x, int y)
{
    if (handle_)
        SetWindowPos(window(*this), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void Dialog::makeTopmost()
{
    if (handle_)
        SetWindowPos(window(*this), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void Dialog::moveItem(int controlId, const Rect& rect, bool repaint)
{
    if (HWND control = item(*this, controlId))
        MoveWindow(control, rect.left, rect.top, rect.width(), rect.height(), repaint);
}

void Dialog::invalidateItem(int controlId, bool erase)
{
    if (HWND control = item(*this, controlId))
        InvalidateRect(control, nullptr, erase);
}

bool Dialog::setIcon(int iconId, bool big)
{
    HICON icon = handle_ ? LoadIconA(win32::moduleHandle(), MAKEINTRESOURCEA(iconId)) : nullptr;
    if (!icon)
        return false;
    SendMessageA(window(*this), WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    return true;
}

Result Dialog::controlColours(const Message& request, Colour text, Colour background, Brush brush)
{
    HDC dc = reinterpret_cast<HDC>(request.wParam);
    SetTextColor(dc, text);
    SetBkColor(dc, background);
    return reinterpret_cast<Result>(brush);
}

Result Dialog::defaultWindowHandling(const Message& message)
{
    return handle_ ? DefWindowProcA(window(*this), message.id, message.wParam, message.lParam) : 0;
}

bool postMessage(WindowHandle w, unsigned message, WParam wParam, LParam lParam)
{
    return w && PostMessageA(static_cast<HWND>(w), message, wParam, lParam) != 0;
}

Result sendMessage(WindowHandle w, unsigned message, WParam wParam, LParam lParam)
{
    if (!w || !IsWindow(static_cast<HWND>(w)))
        return 0;
    return SendMessageA(static_cast<HWND>(w), message, wParam, lParam);
}

bool sendMessageWithin(WindowHandle w, unsigned message, unsigned limitMs, WParam wParam, LParam lParam)
{
    if (!w || !IsWindow(static_cast<HWND>(w)))
        return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(static_cast<HWND>(w), message, wParam, lParam, SMTO_ABORTIFHUNG, limitMs,
                               &result) != 0;
}

Brush createSolidBrush(Colour colour) { return CreateSolidBrush(colour); }

void deleteBrush(Brush brush)
{
    if (brush)
        DeleteObject(static_cast<HGDIOBJ>(brush));
}

} // namespace platform::dialog
