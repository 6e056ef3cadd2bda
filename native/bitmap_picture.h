#pragma once
// The picture object of this platform: a shared, unchangeable image, or none
// at all for the empty picture that loading "" gives.

#include <memory>
#include <utility>

#include "contracts/picture.h"

namespace vamu::native {

class BitmapPicture : public Picture {
public:
    BitmapPicture() = default;  // the empty picture
    explicit BitmapPicture(std::shared_ptr<const Image> image) : image_(std::move(image)) {}
    explicit BitmapPicture(Image image) : image_(std::make_shared<const Image>(std::move(image))) {}

    bool isEmpty() const override { return image_ == nullptr; }
    // Null for the empty picture.
    const std::shared_ptr<const Image>& image() const noexcept { return image_; }

private:
    std::shared_ptr<const Image> image_;
};

// The image behind a picture reference; null for Nothing, the empty picture
// and a picture of another kind.
inline std::shared_ptr<const Image> imageOf(const PictureRef& picture) {
    const auto* bitmap = dynamic_cast<const BitmapPicture*>(picture.get());
    return bitmap != nullptr ? bitmap->image() : nullptr;
}

}  // namespace vamu::native
