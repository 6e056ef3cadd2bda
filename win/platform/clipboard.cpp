#include "win/platform/clipboard.h"

#include <windows.h>

#include "win/platform/bitmaps.h"
#include "win/platform/com_error.h"
#include "win/platform/win_picture.h"

namespace vamu::win {
namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kRetryPause = 20;  // milliseconds

[[noreturn]] void raiseLastError() { throw errorFromHresult(HRESULT_FROM_WIN32(GetLastError())); }

// The clipboard, open for the time of a scope. Another program may hold it
// for a moment, so opening is retried a few times.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) {
        for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
            if (OpenClipboard(owner)) return;
            Sleep(kRetryPause);
        }
        throw RuntimeError::foreign(static_cast<std::uint32_t>(CLIPBRD_E_CANT_OPEN), u"Can't open Clipboard");
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    ~OpenClipboardScope() { CloseClipboard(); }
};

}  // namespace

HWND WinClipboard::owner() {
    if (!owner_) {
        owner_.reset(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     GetModuleHandleW(nullptr), nullptr));
        if (!owner_) raiseLastError();
    }
    return owner_.get();
}

void WinClipboard::setImage(const Image& image) {
    UniqueBitmap bitmap;
    if (image.width > 0 && image.height > 0) bitmap = bitmapFromImage(image);
    kept_.reset();
    {
        OpenClipboardScope open(owner());
        if (!EmptyClipboard()) raiseLastError();
        if (bitmap) {
            if (!SetClipboardData(CF_BITMAP, bitmap.get())) raiseLastError();
            bitmap.release();  // the clipboard owns it now
        }
    }
    if (image.width > 0 && image.height > 0) {
        kept_ = image;
        keptSequence_ = GetClipboardSequenceNumber();
    }
}

bool WinClipboard::hasBitmap() { return IsClipboardFormatAvailable(CF_BITMAP) != FALSE; }

PictureRef WinClipboard::picture() {
    if (kept_ && GetClipboardSequenceNumber() == keptSequence_) {
        return makeBitmapPicture(bitmapFromImage(*kept_).release());
    }
    kept_.reset();
    UniqueBitmap copy;
    {
        OpenClipboardScope open(owner());
        HANDLE shared = GetClipboardData(CF_BITMAP);
        if (!shared) return makeEmptyPicture();
        copy.reset(static_cast<HBITMAP>(CopyImage(shared, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        if (!copy) raiseLastError();
    }
    return makeBitmapPicture(copy.release());
}

}  // namespace vamu::win
