#pragma once
// The handle by which the host's thread reaches the multiplier window: published by the
// window thread once the window exists and withdrawn as it is destroyed, under a lock,
// so that no request is ever made to a window that is gone.

#include "platform/Dialog.h"

namespace window {

void publishAddress(platform::dialog::WindowHandle window);
void withdrawAddress();

// The published window, or null.
platform::dialog::WindowHandle publishedAddress();

} // namespace window
