#pragma once
// The kind and pixel size of a PNG or JPEG, read from its first bytes, so
// that a picture too large is refused before any decoder allocates for it.

#include <cstdint>
#include <optional>
#include <span>

namespace vamu::win {

enum class ImageKind { Png, Jpeg };

struct ImageHeader {
    ImageKind kind = ImageKind::Png;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// Nothing for another format or a header that ends or breaks before the size.
std::optional<ImageHeader> readImageHeader(std::span<const std::uint8_t> bytes);

}  // namespace vamu::win
