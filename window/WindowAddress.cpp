// The requests of WindowRequests.h, each made only while the window is published.
#include "window/WindowAddress.h"

#include "platform/Lock.h"
#include "window/MultiplierWindow.h"
#include "window/WindowRequests.h"

namespace window {
namespace {

using platform::dialog::WindowHandle;

constexpr unsigned kCloseAnswerLimitMs = 100;

platform::Lock addressLock;
WindowHandle address = nullptr;

void postWhilePublished(unsigned message, platform::dialog::WParam wParam)
{
    // Posting does not wait, so the lock keeps the window from being withdrawn meanwhile.
    platform::LockGuard guard(addressLock);
    if (address)
        platform::dialog::postMessage(address, message, wParam, 0);
}

} // namespace

WindowHandle publishedAddress()
{
    platform::LockGuard guard(addressLock);
    return address;
}

void publishAddress(WindowHandle window)
{
    platform::LockGuard guard(addressLock);
    address = window;
}

void withdrawAddress()
{
    platform::LockGuard guard(addressLock);
    address = nullptr;
}

void sendClose()
{
    // Sending waits for the window thread, which takes the lock as it withdraws: send
    // outside it. A window destroyed meanwhile just does not answer. The wait is bounded:
    // a window thread that has left its loop but not yet withdrawn may be waiting for the
    // loader's lock, which an unloading host holds; the caller's poll takes over.
    if (WindowHandle window = publishedAddress())
        platform::dialog::sendMessageWithin(window, platform::dialog::kClose, kCloseAnswerLimitMs);
}

void postClose() { postWhilePublished(platform::dialog::kClose, 0); }

void postRefresh(unsigned milliseconds)
{
    postWhilePublished(MultiplierWindow::kRearmRefresh, milliseconds);
}

} // namespace window
