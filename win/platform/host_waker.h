#pragma once
// Wakes the host's thread by posting a message to a window of the
// plug-in's on that thread.

#include <windows.h>

#include "contracts/tile_platform.h"

namespace vamu::win {

class WinHostThreadWaker : public HostThreadWaker {
public:
    // The message every waker posts: registered once per session, so that
    // it cannot collide with the window's other messages.
    static UINT wakeMessage();

    WinHostThreadWaker(HWND window, UINT message) : window_(window), message_(message) {}
    // Posts the message (wParam and lParam 0); nothing where the window is
    // gone.
    void wake() override;

private:
    HWND window_;
    UINT message_;
};

}  // namespace vamu::win
