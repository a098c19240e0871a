#pragma once
// The multiplier window's life, run from the host's thread: at most one window, on a
// thread of its own, started, asked to refresh and closed from the host's thread, with
// the window's position kept from one window to the next. Every call below is made on
// the host's thread (runWindow aside); the window thread reads only the list given here
// and what the host keeps for its window.

#include "window/WindowAddress.h"

#include <atomic>

class MultiplierList;
class MultiplierWindow;

namespace platform {
class Thread;
}

class WindowHost {
public:
    // list: what the window shows; it outlives the host.
    explicit WindowHost(const MultiplierList& list);
    // Closes the window and waits for its thread, as closeAndWait.
    ~WindowHost();
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    // True while a window exists (it is opening, open or closing).
    bool isOpen() const;

    // Closes a window that is open, then starts a new window thread; returns once the
    // window is up (on screen, its message loop running) or its thread has given up.
    void start();

    // Re-arms the window's refresh timer for the delay when a window exists; otherwise
    // does nothing.
    void scheduleRefresh(unsigned milliseconds);

    // Asks the window to close and returns once it is gone and its thread runs none of
    // the library's code; at once when there is none.
    void closeAndWait();

    // The process is ending and the system has stopped the window's thread, maybe in the
    // middle of anything: forget the window and the thread, touching neither and waiting
    // for nothing.
    void abandon();

    // The window thread's body: makes the window and runs it until it ends. Exit code 1
    // when a window was already there (which is left alone), else 0.
    unsigned runWindow();

private:
    friend class MultiplierWindow;

    // Where the window was last put, read from or written to the settings file; outlives
    // each window. Window thread only.
    struct Position {
        int x = 0;
        int y = 0;
    };

    // The window thread tells, once its window is on screen and in its message loop, and
    // again as the window is destroyed.
    void windowIsUp(platform::dialog::WindowHandle window);
    void windowIsGoing() { address_.withdraw(); }
    void waitForStartingThread() const;
    void forgetFinishedThread();

    const MultiplierList& list_;
    Position savedPosition_;
    WindowAddress address_;
    // The window of the running window thread, or null. Only the window thread sets and
    // empties it; the host's thread reads it and never touches the object behind it.
    std::atomic<MultiplierWindow*> current_{nullptr};
    // From the start of a window thread until its window is up or the thread has given
    // up. The host's thread waits that out: a window still being built may need the
    // loader's lock, which an unload holds while it waits.
    std::atomic<bool> starting_{false};
    // The last window thread started: a wait notices a thread that is gone, and a close
    // makes sure that the thread has left the library's code. Host's thread only.
    platform::Thread* thread_ = nullptr;
};
