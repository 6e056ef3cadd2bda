#pragma once
// Pixels and pictures. An Image is the portable pixel buffer a map control
// draws into; a Picture is the platform's picture object (an IPicture on
// Windows) as the host's picture box takes it.

#include <cstdint>
#include <memory>
#include <vector>

#include "contracts/runtime_error.h"

namespace vamu {

// The largest image the plug-in makes: 256 MB of pixels at four bytes each
// (8192 × 8192, for instance). A picture box beyond it would need several
// copies of that size on its way to the host; asking for a larger image is
// error 7 (out of memory) before anything is allocated.
inline constexpr std::uint64_t kMaxImageBytes = std::uint64_t{256} << 20;

// The pixel count of a width × height image; error 7 above the limit, 380
// for a negative size.
inline std::size_t imagePixelCount(std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0) raise(ErrorNumber::InvalidPropertyValue);
    const std::uint64_t count = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (count > kMaxImageBytes / sizeof(std::uint32_t)) raise(ErrorNumber::OutOfMemory);
    return static_cast<std::size_t>(count);
}

struct Image {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom

    Image() = default;
    Image(std::int32_t w, std::int32_t h, std::uint32_t fill = 0)
        : width(w), height(h), pixels(imagePixelCount(w, h), fill) {}
    std::uint32_t& at(std::int32_t x, std::int32_t y) {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    std::uint32_t at(std::int32_t x, std::int32_t y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

class Picture {
public:
    virtual ~Picture() = default;
    // True for a picture that holds no image, as LoadPicture("") gives.
    virtual bool isEmpty() const = 0;
};

// A null PictureRef is Nothing: no picture object at all.
using PictureRef = std::shared_ptr<Picture>;

}  // namespace vamu
