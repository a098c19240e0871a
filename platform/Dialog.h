#pragma once
// Modal dialogs built from the plug-in's own templates, without any framework.
//
// One header for both backends, free of <windows.h>. The Win32 backend (win32/Dialog.cpp)
// runs a template of the plug-in's own module with DialogBoxParamA; the headless backend
// (posix/Dialog.cpp) runs the same dialog class without a display: its controls are plain
// data, and it has a message queue and timers of its own, driven by its own loop.
//
// Window handles are void*, message parameters are integers, and message numbers are the
// named constants below (their values are those of Windows, so the Win32 backend passes
// every message through unchanged, and a dialog may use any other Windows message number).
//
// Threads: runModal runs the dialog's message loop on the calling thread, so a dialog on
// one thread and another dialog on a second thread can run at once. Everything in Dialog
// is for the dialog's own thread, except postMessage and sendMessage, which any thread
// may call with the dialog's handle.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::dialog {

using WindowHandle = void*;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
// What a handler returns to the dialog manager: non-zero when it handled the message
// (or the value the message asks for: the focus flag of kInitDialog, the brush of a
// control-colour request); 0 lets the default handling run.
using Result = std::intptr_t;

// Message numbers: the window's life, the dialog's own (kTimer's wParam is the timer id)
// and a list box's colour request.
inline constexpr unsigned kDestroy = 0x0002, kSize = 0x0005, kClose = 0x0010, kSetCursor = 0x0020;
inline constexpr unsigned kInitDialog = 0x0110, kCommand = 0x0111, kTimer = 0x0113;
inline constexpr unsigned kCtlColorListBox = 0x0134;
// A dialog class's private messages: kPrivateFirst, kPrivateFirst + 1, ... (WM_APP).
inline constexpr unsigned kPrivateFirst = 0x8000;

// Command ids of the two standard buttons, and the end codes they give.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
// End code of a dialog whose template could not be created.
inline constexpr Result kRunFailed = -1;

// Notification code of kCommand (high word of wParam): a button pressed; also Enter and Esc.
inline constexpr unsigned kClicked = 0;

struct Message {
    unsigned id = 0;
    WParam wParam = 0;
    LParam lParam = 0;
};

inline int commandId(const Message& m) { return static_cast<int>(m.wParam & 0xFFFF); }
inline unsigned notifyCode(const Message& m) { return static_cast<unsigned>((m.wParam >> 16) & 0xFFFF); }
inline constexpr WParam makeCommand(int controlId, unsigned code = kClicked)
{
    return (static_cast<WParam>(code & 0xFFFF) << 16) | (static_cast<WParam>(controlId) & 0xFFFF);
}

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

using Colour = std::uint32_t; // 0x00BBGGRR, as Windows' COLORREF
using Brush = void*;

// A solid brush for control-colour handlers; release it with deleteBrush. The headless
// backend hands out tokens that paint nothing.
Brush createSolidBrush(Colour colour);
void deleteBrush(Brush brush);

class Dialog;

// ---- Message tables --------------------------------------------------------------------
//
// Each dialog class has one static table. Its entries are looked at first, then those of
// the table it chains to (its base class's), ending in Dialog's own table; a message that
// no entry takes gets the dialog's default handling.

// Every handler has this signature; onMessage and onCommand below adapt member functions.
using Handler = Result (*)(Dialog& dialog, const Message& message);

enum class EntryKind {
    Message, // any message with this number
    Command, // kCommand from this control id with this notification code
};

struct MessageEntry {
    EntryKind kind;
    unsigned message;   // Message: the message number; Command: kCommand
    int controlId;      // Command only
    unsigned code;      // Command only
    Handler handler;
};

struct MessageTable {
    const MessageTable* base; // null only for Dialog's own table
    const MessageEntry* entries;
    std::size_t count;
};

// The entry that handles message in table or the tables it chains to, or null.
const MessageEntry* findHandler(const MessageTable& table, const Message& message);

template <std::size_t N>
constexpr MessageTable makeTable(const MessageTable* base, const MessageEntry (&entries)[N])
{
    return MessageTable{base, entries, N};
}

namespace detail {
template <class D, Result (D::*Fn)(const Message&)>
Result messageThunk(Dialog& dialog, const Message& message)
{
    return (static_cast<D&>(dialog).*Fn)(message);
}
template <class D, void (D::*Fn)()>
Result commandThunk(Dialog& dialog, const Message&)
{
    (static_cast<D&>(dialog).*Fn)();
    return 1;
}
} // namespace detail

// Entry for message, handled by Result D::fn(const Message&).
template <class D, Result (D::*Fn)(const Message&)>
constexpr MessageEntry onMessage(unsigned message)
{
    return MessageEntry{EntryKind::Message, message, 0, 0, &detail::messageThunk<D, Fn>};
}

// Entry for a command of one control, handled by void D::fn().
template <class D, void (D::*Fn)()>
constexpr MessageEntry onCommand(int controlId, unsigned code = kClicked)
{
    return MessageEntry{EntryKind::Command, kCommand, controlId, code, &detail::commandThunk<D, Fn>};
}

// ---- Data exchange ---------------------------------------------------------------------

// One pass of a dialog's exchangeData: loading fields into controls, or saving the
// controls' texts back into the fields. Exchanges of text cannot fail.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saving) : dialog_(dialog), saving_(saving) {}
    bool saving() const { return saving_; }

    // An edit (or any control's) text.
    void text(int controlId, std::string& value);
    // A combo box with an edit field. Load: selects the first list entry that begins with
    // value, ASCII letters compared without regard to case (an empty value begins every
    // entry); when none does, shows value in the edit field. Save: the edit field's text,
    // which is the selected entry or what was typed.
    void comboText(int controlId, std::string& value);

private:
    Dialog& dialog_;
    bool saving_;
};

// ---- Initialisation data ---------------------------------------------------------------

// A text that the template's initialisation data adds to a combo box when the dialog is
// created (Windows: the template's DLGINIT resource, applied by the backend before
// kInitDialog).
struct InitEntry {
    int controlId = 0;
    std::string text;
};

// Reads DLGINIT data: records of control id (16 bits), message (16 bits), data length
// (32 bits) and that many bytes of NUL-terminated text, up to a record whose control id
// is 0. Only combo box additions (message 0x0403, the form resource compilers write) are
// taken; records of other messages are skipped; a truncated record ends the list.
std::vector<InitEntry> parseDialogInit(const void* data, std::size_t size);

// ---- The dialog ------------------------------------------------------------------------

class Dialog {
public:
    // templateId: a dialog template of the plug-in's own module.
    explicit Dialog(int templateId) : templateId_(templateId) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the window, runs its message loop on the calling thread until endDialog,
    // and returns endDialog's code; kRunFailed when the template cannot be created.
    // Win32: the calling thread's active window, if any, owns the dialog and is disabled
    // meanwhile. Headless: creation never fails; after kInitDialog, the platform's
    // dialogAnswer entry answers the dialog (see Platform.h).
    Result runModal();

    int templateId() const { return templateId_; }
    // The window while it exists (from kInitDialog until it is destroyed), else null.
    WindowHandle handle() const { return handle_; }

    // What the dialog does when no operator answers it (headless): nothing here, so the
    // dialog waits for messages; a dialog that should confirm posts kIdOk.
    virtual void answerUnattended() {}

    // -- The rest is for the dialog's own thread, while the window exists. --

    void endDialog(Result code);

    // Posts to this dialog (any thread); false when it does not exist.
    bool postMessage(unsigned message, WParam wParam = 0, LParam lParam = 0);

    // Controls by id. A missing control reads as empty; setting it does nothing.
    bool hasItem(int controlId) const;
    std::string itemText(int controlId) const;
    void setItemText(int controlId, const std::string& text);

    // Combo boxes (the entries come from the template). Indexes from 0.
    int comboCount(int controlId) const;
    std::string comboEntry(int controlId, int index) const;
    void comboSelect(int controlId, int index); // also shows the entry in the edit field

    // List boxes: replaces every entry by prefix + each text, in order. The list is not
    // redrawn while it fills and its storage is set aside first, so thousands of entries
    // cost one paint.
    void listReplace(int controlId, const std::vector<std::string>& texts, const std::string& prefix);

    // Timers: kTimer with the id as wParam arrives on this thread every period until the
    // timer is killed (a one-shot kills it in its handler). Setting an id that is already
    // pending starts its countdown again. Headless, the countdown runs on the platform's
    // monotonic clock (ops().monotonicMs), which tests may hold.
    bool setTimer(unsigned timerId, unsigned milliseconds);
    void killTimer(unsigned timerId);

    // Window position, screen coordinates; the client rectangle starts at 0, 0.
    Rect windowRect() const;
    Rect clientRect() const;
    void moveTo(int x, int y);      // keeps size and z-order
    void makeTopmost();             // without moving, sizing or activating
    void moveItem(int controlId, const Rect& rect, bool repaint);
    void invalidateItem(int controlId, bool erase);
    // Icon resource of the plug-in's own module as the window's big or small icon.
    bool setIcon(int iconId, bool big);

    // Inside a control-colour handler: sets the text and text background colours of the
    // request and returns brush, which the handler returns.
    Result controlColours(const Message& request, Colour text, Colour background, Brush brush);
    // The window's default handling of a message (Windows: DefWindowProc; not the dialog
    // manager's, which would come back here). Headless: 0.
    Result defaultWindowHandling(const Message& message);

    // Delivers one message to the handlers, as the backends do; true when an entry took it
    // and returned non-zero (else the default handling is due).
    bool dispatch(const Message& message, Result& result);

protected:
    // Each class with entries of its own overrides this with its table, chained to its
    // base's table (kMessages here).
    virtual const MessageTable& messageTable() const { return kMessages; }
    // Binds fields to controls; one function per dialog class.
    virtual void exchangeData(DataExchange&) {}
    // Runs exchangeData: loads the fields into the controls, or saves the controls' texts.
    void updateData(bool saving);
    // kInitDialog: loads the fields (updateData(false)); true lets the system set focus.
    virtual bool onInitDialog();
    // OK: saves the fields and ends with kIdOk. Cancel (also Esc and the close box): ends
    // with kIdCancel.
    virtual void onOk();
    virtual void onCancel();
    // The combo and list entries that the template's initialisation data holds, for the
    // headless backend, which has no templates. Windows reads the template's own data.
    virtual std::vector<InitEntry> headlessInitData() const { return {}; }

    static const MessageTable kMessages;

private:
    friend struct DialogBackend;

    Result initDialog(const Message&);
    void ok() { onOk(); }
    void cancel() { onCancel(); }
    static const MessageEntry kEntries[];

    const int templateId_;
    WindowHandle handle_ = nullptr;
    void* backend_ = nullptr; // the backend's per-window state
};

// Posts to a dialog by handle, from any thread; false when it does not exist.
bool postMessage(WindowHandle window, unsigned message, WParam wParam = 0, LParam lParam = 0);
// Sends to a dialog by handle and waits until its thread has handled the message; 0 when
// it does not exist. Never from the dialog's own thread to another thread's dialog that
// may be sending back (that deadlocks, as on Windows).
Result sendMessage(WindowHandle window, unsigned message, WParam wParam = 0, LParam lParam = 0);
// Sends as sendMessage, but waits at most limitMs for the dialog's thread (Win32: and not
// at all for a thread that has stopped reading messages). True when the message was
// handled in time; a message not handled in time may still be handled later.
bool sendMessageWithin(WindowHandle window, unsigned message, unsigned limitMs, WParam wParam = 0,
                       LParam lParam = 0);

} // namespace platform::dialog
