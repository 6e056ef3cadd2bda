#include "win/platform/messages.h"

#include <windows.h>

#include "win/platform/bstr.h"

namespace vamu::win {

void WinMessageBoxes::show(const std::u16string& text, MessageButtons buttons,
                           const std::optional<std::u16string>& title) {
    UINT style = MB_SETFOREGROUND;
    switch (buttons) {
        case MessageButtons::Ok:
            style |= MB_OK;
            break;
    }
    // Owned by the thread's active window where there is one; otherwise
    // task-modal, so the thread's other windows wait as well.
    HWND owner = GetActiveWindow();
    style |= owner ? MB_APPLMODAL : MB_TASKMODAL;
    const std::u16string caption = title ? *title : std::u16string(kDefaultMessageTitle);
    MessageBoxW(owner, wide(text), wide(caption), style);
}

}  // namespace vamu::win
