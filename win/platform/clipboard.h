#pragma once
// The system clipboard: the map image goes there as a bitmap (standard
// format 2) and comes back as an OLE picture.
//
// While the clipboard still holds what this object put there (its sequence
// number unchanged), the picture is made from the kept image instead of being
// read back: the same pixels, without a round trip through the clipboard,
// and without Wine's GetClipboardData(CF_BITMAP), which makes a new bitmap on
// every call and never frees it (about 1 KB a call, a long session's memory
// and time growing with it).

#include <optional>

#include "contracts/platform.h"
#include "win/platform/handles.h"

namespace vamu::win {

class WinClipboard : public Clipboard {
public:
    // An empty image (no pixels) leaves the clipboard empty.
    void setImage(const Image& image) override;
    bool hasBitmap() override;
    // A copy of the clipboard's bitmap; an empty picture when there is none.
    PictureRef picture() override;

private:
    HWND owner();  // a message-only window, made on first use

    UniqueWindow owner_;
    std::optional<Image> kept_;  // the image last put there by this object
    DWORD keptSequence_ = 0;     // the clipboard's sequence number just after
};

}  // namespace vamu::win
