#pragma once
// Windows bitmap files as the plug-in writes them, on every platform: 24
// bits per pixel, bottom-up, rows padded to four bytes, 2835 pixels per
// metre (72 dpi), uncompressed.

#include <cstdint>
#include <functional>
#include <span>

#include "contracts/picture.h"

namespace vamu {

inline constexpr std::size_t kBmpHeadersSize = 54;  // file and information headers

// Hands the file to write in pieces, in order: the headers, then runs of
// rows small enough to stay in the cache between being encoded and being
// copied on. An image without pixels, whose pixel buffer does not match its
// size or whose file would pass 4 GB is error 481.
using BmpSink = std::function<void(std::span<const std::uint8_t>)>;
void encodeBmp(const Image& image, const BmpSink& write);

// The size of the file encodeBmp writes for the image.
std::uint64_t bmpFileSize(const Image& image);

}  // namespace vamu
