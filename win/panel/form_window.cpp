#include "win/panel/form_window.h"

#include <array>

#include "contracts/runtime_error.h"

namespace vamu::win {
namespace {

struct Border {
    DWORD style;
    DWORD exStyle;
};

constexpr DWORD kBorderStyles = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                                WS_MAXIMIZEBOX | WS_BORDER | WS_DLGFRAME;
constexpr DWORD kBorderExStyles = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;

constexpr std::array<Border, 6> kBorders{{
    {WS_POPUP, 0},
    {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0},
    {WS_OVERLAPPEDWINDOW, 0},
    {WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME},
    {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW},
    {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, WS_EX_TOOLWINDOW},
}};
constexpr int kFixedSingle = 1;

SIZE outerSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle) {
    RECT r{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

FormWindow::FormWindow(HINSTANCE instance, const std::u16string& caption, int clientWidth, int clientHeight)
    : clientWidth_(clientWidth), clientHeight_(clientHeight) {
    const Border& border = kBorders[kFixedSingle];
    const SIZE size = outerSize(clientWidth, clientHeight, border.style, border.exStyle);
    WindowParams params;
    params.className = kFormClass;
    params.text = caption;
    params.style = border.style;  // no WS_CLIPCHILDREN: the frame shows the form through it
    params.exStyle = border.exStyle;
    params.bounds = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + size.cx, CW_USEDEFAULT + size.cy};
    window_ = createWindow(instance, params, this);
}

FormWindow::~FormWindow() { detachTarget(window_.get()); }

void FormWindow::setCaption(const std::u16string& caption) { setWindowText(handle(), caption); }

std::u16string FormWindow::caption() { return windowText(handle()); }

void FormWindow::setBorderStyle(std::int16_t style) {
    if (style < 0 || static_cast<std::size_t>(style) >= kBorders.size())
        raise(ErrorNumber::InvalidPropertyValue);
    const Border& border = kBorders[static_cast<std::size_t>(style)];
    HWND w = handle();
    const auto oldStyle = static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE));
    const auto oldExStyle = static_cast<DWORD>(GetWindowLongW(w, GWL_EXSTYLE));
    const DWORD newStyle = (oldStyle & ~kBorderStyles) | border.style;
    const DWORD newExStyle = (oldExStyle & ~kBorderExStyles) | border.exStyle;
    SetWindowLongW(w, GWL_STYLE, static_cast<LONG>(newStyle));
    SetWindowLongW(w, GWL_EXSTYLE, static_cast<LONG>(newExStyle));
    const SIZE size = outerSize(clientWidth_, clientHeight_, newStyle, newExStyle);
    SetWindowPos(w, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void FormWindow::setVisible(bool visible) { ShowWindow(handle(), visible ? SW_SHOW : SW_HIDE); }

bool FormWindow::visible() { return hasVisibleStyle(handle()); }

void FormWindow::show() {
    ShowWindow(handle(), IsIconic(handle()) ? SW_RESTORE : SW_SHOW);
    BringWindowToTop(handle());
}

void FormWindow::onCloseRequest(std::function<void(bool& cancel)> handler) {
    closeRequest_ = std::move(handler);
}

void FormWindow::close() {
    bool cancel = false;
    if (closeRequest_) {
        try {
            closeRequest_(cancel);
        } catch (...) {
            // A failing handler does not close the window either.
        }
    }
    // The window lives as long as the plug-in: whether the handler refused
    // the close or not, closing only hides it.
    ShowWindow(handle(), SW_HIDE);
}

LRESULT FormWindow::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            close();
            return 0;
        case WM_COMMAND:
            if (command_ && lParam != 0) command_(LOWORD(wParam), HIWORD(wParam));
            return 0;
        default:
            if (other_) {
                if (const std::optional<LRESULT> result = other_(message, wParam, lParam)) return *result;
            }
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace vamu::win
