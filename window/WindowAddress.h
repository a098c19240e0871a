#pragma once
// The handle by which the host's thread reaches the multiplier window: published by the
// window thread once the window exists and withdrawn as it is destroyed, under a lock,
// so that no request is ever made to a window that is gone.

#include "platform/Dialog.h"

#include <string>
#include <vector>

namespace window {

void publishAddress(platform::dialog::WindowHandle window);
void withdrawAddress();

// The published window, or null.
platform::dialog::WindowHandle publishedAddress();

// What the open window shows and where it is, read on its own thread.
struct WindowView {
    std::vector<std::string> entries;
    platform::dialog::Rect rect;
    bool seen = false;
};
// False when no window is published.
bool viewWindow(WindowView& view);

} // namespace window
