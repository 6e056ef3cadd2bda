#pragma once
// The system clipboard: the map image goes there as a bitmap (standard
// format 2) and comes back as an OLE picture.

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
};

}  // namespace vamu::win
