// The requests of WindowRequests.h, each made only while the window is published.
#include "window/WindowAddress.h"

#include "platform/Lock.h"
#include "window/MultiplierWindow.h"
#include "window/WindowRequests.h"

namespace window {
namespace {

using platform::dialog::WindowHandle;

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
    // outside it. A window destroyed meanwhile just does not answer.
    if (WindowHandle window = publishedAddress())
        platform::dialog::sendMessage(window, platform::dialog::kClose);
}

void postClose() { postWhilePublished(platform::dialog::kClose, 0); }

void postRefresh(unsigned milliseconds)
{
    postWhilePublished(MultiplierWindow::kRearmRefresh, milliseconds);
}

bool viewWindow(WindowView& view)
{
    // A dialog's answer to a sent message is not its handler's result on Windows, so the
    // window marks the view instead.
    view.seen = false;
    if (WindowHandle window = publishedAddress()) {
        platform::dialog::sendMessage(window, MultiplierWindow::kDescribe, 0,
                                      reinterpret_cast<platform::dialog::LParam>(&view));
    }
    return view.seen;
}

} // namespace window
