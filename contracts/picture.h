#pragma once
// Pixels and pictures. An Image is the portable pixel buffer a map control
// draws into; a Picture is the platform's picture object (an IPicture on
// Windows) as the host's picture box takes it.

#include <cstdint>
#include <memory>
#include <vector>

namespace vamu {

struct Image {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom

    Image() = default;
    Image(std::int32_t w, std::int32_t h, std::uint32_t fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}
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
