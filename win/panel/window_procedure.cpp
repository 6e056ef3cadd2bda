#include "win/panel/window_procedure.h"

#include <mutex>

#include "win/platform/bstr.h"
#include "win/platform/com_error.h"

namespace vamu::win {
namespace {

std::mutex classesMutex;
int classesUsers = 0;

LRESULT CALLBACK routeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (target) {
        try {
            return target->onMessage(window, message, wParam, lParam);
        } catch (...) {
            // A failed handler leaves the message unhandled.
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerClass(HINSTANCE instance, const wchar_t* name, HBRUSH background, UINT style) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = routeMessage;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw errorFromHresult(HRESULT_FROM_WIN32(GetLastError()));
    }
}

}  // namespace

WindowClasses::WindowClasses(HINSTANCE instance) : instance_(instance) {
    std::lock_guard lock(classesMutex);
    if (classesUsers == 0) {
        registerClass(instance, kFormClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), 0);
        try {
            registerClass(instance, kMapClass, nullptr, 0);
        } catch (...) {
            UnregisterClassW(kFormClass, instance);
            throw;
        }
    }
    ++classesUsers;
}

WindowClasses::~WindowClasses() {
    std::lock_guard lock(classesMutex);
    if (--classesUsers == 0) {
        UnregisterClassW(kMapClass, instance_);
        UnregisterClassW(kFormClass, instance_);
    }
}

UniqueWindow createWindow(HINSTANCE instance, const WindowParams& params, MessageTarget* target) {
    const RECT& r = params.bounds;
    UniqueWindow window(CreateWindowExW(params.exStyle, params.className, wide(params.text), params.style,
                                        r.left, r.top, r.right - r.left, r.bottom - r.top, params.parent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(params.id)), instance,
                                        target));
    if (!window) throw errorFromHresult(HRESULT_FROM_WIN32(GetLastError()));
    return window;
}

void detachTarget(HWND window) noexcept {
    if (window) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

std::u16string windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const int copied = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void setWindowText(HWND window, const std::u16string& text) {
    if (!SetWindowTextW(window, wide(text))) throw errorFromHresult(HRESULT_FROM_WIN32(GetLastError()));
}

bool hasVisibleStyle(HWND window) noexcept { return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

}  // namespace vamu::win
