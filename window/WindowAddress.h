#pragma once
// The handle by which the host's thread reaches the multiplier window: published by the
// window thread once the window is up and withdrawn as it is destroyed, under a lock, so
// that a request never reaches a window that is gone, nor any other window.

#include "platform/Dialog.h"
#include "platform/Lock.h"

class WindowAddress {
public:
    void publish(platform::dialog::WindowHandle window);
    void withdraw();

    // The published window, or null.
    platform::dialog::WindowHandle get() const;

    // Posts the message while a window is published; otherwise does nothing.
    void post(unsigned message, platform::dialog::WParam wParam) const;

    // Asks the published window to close and waits at most limitMs for its thread to
    // handle the request; does nothing without a window.
    void sendCloseWithin(unsigned limitMs) const;

private:
    mutable platform::Lock lock_;
    platform::dialog::WindowHandle window_ = nullptr;
};
