#include "window/WindowAddress.h"

using platform::dialog::WindowHandle;

void WindowAddress::publish(WindowHandle window)
{
    platform::LockGuard guard(lock_);
    window_ = window;
}

void WindowAddress::withdraw()
{
    platform::LockGuard guard(lock_);
    window_ = nullptr;
}

WindowHandle WindowAddress::get() const
{
    platform::LockGuard guard(lock_);
    return window_;
}

void WindowAddress::post(unsigned message, platform::dialog::WParam wParam) const
{
    // Posting does not wait, so the lock keeps the window from being withdrawn meanwhile.
    platform::LockGuard guard(lock_);
    if (window_)
        platform::dialog::postMessage(window_, message, wParam, 0);
}

void WindowAddress::sendCloseWithin(unsigned limitMs) const
{
    // Sending waits for the window thread, which takes the lock as it withdraws: send
    // outside it. A window destroyed meanwhile just does not answer.
    if (WindowHandle window = get())
        platform::dialog::sendMessageWithin(window, platform::dialog::kClose, limitMs);
}
