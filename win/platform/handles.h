#pragma once
// Owners of Win32 handles: windows, GDI objects, device contexts, files,
// directory searches.

#include <windows.h>

#include <cstdint>
#include <utility>

namespace vamu::win {

// A handle closed by Close when the owner goes; Invalid is the "none" value.
template <class Handle, void (*Close)(Handle), std::intptr_t Invalid = 0>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    // The slot itself, for a callee that reads it and may leave another
    // handle there: whatever it leaves is owned by this holder.
    Handle* slot() noexcept { return &handle_; }
    explicit operator bool() const noexcept { return handle_ != none(); }
    Handle release() noexcept { return std::exchange(handle_, none()); }
    void reset(Handle handle = none()) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (old != none()) Close(old);
    }

private:
    static Handle none() noexcept { return reinterpret_cast<Handle>(Invalid); }

    Handle handle_ = none();
};

namespace closers {
inline void window(HWND handle) { DestroyWindow(handle); }
inline void bitmap(HBITMAP handle) { DeleteObject(handle); }
inline void font(HFONT handle) { DeleteObject(handle); }
inline void memoryDc(HDC handle) { DeleteDC(handle); }
inline void file(HANDLE handle) { CloseHandle(handle); }
inline void global(HGLOBAL handle) { GlobalFree(handle); }
inline void search(HANDLE handle) { FindClose(handle); }
}  // namespace closers

using UniqueWindow = UniqueHandle<HWND, closers::window>;
using UniqueBitmap = UniqueHandle<HBITMAP, closers::bitmap>;
using UniqueFont = UniqueHandle<HFONT, closers::font>;
using UniqueMemoryDc = UniqueHandle<HDC, closers::memoryDc>;
using UniqueFile = UniqueHandle<HANDLE, closers::file, -1>;
using UniqueGlobal = UniqueHandle<HGLOBAL, closers::global>;
using UniqueSearch = UniqueHandle<HANDLE, closers::search, -1>;

// The screen's device context, for the time of a scope.
class ScreenDc {
public:
    ScreenDc() noexcept : dc_(GetDC(nullptr)) {}
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    HDC get() const noexcept { return dc_; }

private:
    HDC dc_;
};

// An object selected into a device context for the time of a scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() {
        if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace vamu::win
