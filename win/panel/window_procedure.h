#pragma once
// The window classes of the panel and the route from a window's messages to
// the C++ object that owns the window. No exception leaves a window
// procedure: whatever a handler throws ends there.

#include <windows.h>

#include <string>

#include "win/platform/handles.h"

namespace vamu::win {

inline constexpr wchar_t kFormClass[] = L"vamuMapserver.Form";
inline constexpr wchar_t kMapClass[] = L"vamuMapserver.Map";

// The object behind one window. Messages arrive from the window's creation
// until the owner detaches it.
class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    // The default is DefWindowProcW.
    virtual LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// The panel's window classes, registered while at least one holder lives
// (process-wide, counted).
class WindowClasses {
public:
    explicit WindowClasses(HINSTANCE instance);
    WindowClasses(const WindowClasses&) = delete;
    WindowClasses& operator=(const WindowClasses&) = delete;
    ~WindowClasses();

    HINSTANCE instance() const noexcept { return instance_; }

private:
    HINSTANCE instance_;
};

struct WindowParams {
    const wchar_t* className = nullptr;
    std::u16string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT bounds{};  // left, top, right, bottom in the parent's client pixels
    HWND parent = nullptr;
    int id = 0;  // a child's control identifier
};

// Creates the window with target receiving its messages (target may be null
// for standard controls). Raises the Win32 error on failure.
UniqueWindow createWindow(HINSTANCE instance, const WindowParams& params, MessageTarget* target);

// Stops delivering messages to the window's target.
void detachTarget(HWND window) noexcept;

std::u16string windowText(HWND window);
void setWindowText(HWND window, const std::u16string& text);

// The window's own visibility flag, whatever its parent shows.
bool hasVisibleStyle(HWND window) noexcept;

}  // namespace vamu::win
