#include "win/platform/host_waker.h"

namespace vamu::win {

UINT WinHostThreadWaker::wakeMessage() {
    static const UINT message = RegisterWindowMessageW(L"vamuMapserver.TilesArrived");
    return message;
}

UINT WinHostThreadWaker::settledQueryMessage() {
    static const UINT message = RegisterWindowMessageW(L"vamuMapserver.TilesSettled");
    return message;
}

void WinHostThreadWaker::wake() {
    // A destroyed window's post fails and is dropped: nothing to wake.
    if (window_ && message_ && IsWindow(window_)) PostMessageW(window_, message_, 0, 0);
}

}  // namespace vamu::win
