#include "native/memory_clipboard.h"

#include "native/bitmap_picture.h"

namespace vamu::native {

void MemoryClipboard::setImage(const Image& image) { image_ = std::make_shared<const Image>(image); }

bool MemoryClipboard::hasBitmap() { return image_ != nullptr; }

PictureRef MemoryClipboard::picture() { return std::make_shared<BitmapPicture>(image_); }

void MemoryClipboard::clear() { image_.reset(); }

}  // namespace vamu::native
