#include "platform/WindowOps.h"

#include <windows.h>

namespace platform::dialog {

void showNow(Dialog& dialog)
{
    if (HWND window = static_cast<HWND>(dialog.handle()))
        ShowWindow(window, SW_SHOWNORMAL); // as the modal run itself would
}

} // namespace platform::dialog
