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
    // Sent to the panel's window by a host that waits for the tiles still
    // on their way (vamu-host.exe at the end of a session). The answer:
    // kAwaited while tiles are awaited; once none is, the window does the
    // tiles' work that is due (a re-publish) and answers kRepublishDue while
    // more is to come (after its timer), kSettled when nothing is. A panel
    // without tiles leaves the message to the default handling: 0.
    static UINT settledQueryMessage();
    enum Settled : LRESULT { kAwaited = 1, kRepublishDue = 2, kSettled = 3 };

    WinHostThreadWaker(HWND window, UINT message) : window_(window), message_(message) {}
    // Posts the message (wParam and lParam 0); nothing where the window is
    // gone.
    void wake() override;

private:
    HWND window_;
    UINT message_;
};

}  // namespace vamu::win
