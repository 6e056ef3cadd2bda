#pragma once
// Windows bitmap files in memory. Written: 24 bits per pixel, bottom-up,
// rows padded to four bytes, 2835 pixels per metre (72 dpi). Read: 24 and 32
// bits per pixel, bottom-up or top-down, uncompressed (32-bit also with the
// standard bit-field masks). Anything else is error 481 (invalid picture).

#include <cstdint>
#include <span>
#include <vector>

#include "contracts/picture.h"

namespace vamu::native {

// An image without pixels, or whose pixel buffer does not match its size,
// is error 481.
std::vector<std::uint8_t> encodeBmp(const Image& image);
Image decodeBmp(std::span<const std::uint8_t> bytes);

}  // namespace vamu::native
