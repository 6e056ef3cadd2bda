#pragma once
// The system clipboard, held in the process: at most one bitmap.

#include <memory>

#include "contracts/platform.h"

namespace vamu::native {

class MemoryClipboard : public Clipboard {
public:
    void setImage(const Image& image) override;
    bool hasBitmap() override;
    // A BitmapPicture that shares the image; the empty picture when the
    // clipboard holds no bitmap.
    PictureRef picture() override;

    // What another program would do: empty the clipboard.
    void clear();
    // The bitmap held, or null.
    std::shared_ptr<const Image> image() const { return image_; }

private:
    std::shared_ptr<const Image> image_;
};

}  // namespace vamu::native
