// The native tile decoder from any bytes: it never crashes or leaks, and a
// picture it gives back is whole (as many pixels as its sides make, no bits
// above 0x00FFFFFF) and within the side allowed; the same bytes with a
// limit one pixel below its larger side give nothing.

#include <algorithm>
#include <cstdlib>
#include <span>

#include "native/tile_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::int32_t kSide = 512;
    vamu::native::TileDecoder decoder;
    const std::span<const std::uint8_t> bytes(data, size);
    const auto image = decoder.decode(bytes, kSide);
    if (!image) return 0;
    const std::int32_t side = std::max(image->width, image->height);
    if (image->width <= 0 || image->height <= 0 || side > kSide) std::abort();
    if (image->pixels.size() !=
        static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height)) {
        std::abort();
    }
    if (std::any_of(image->pixels.begin(), image->pixels.end(),
                    [](std::uint32_t p) { return p > 0xFFFFFFu; })) {
        std::abort();
    }
    if (decoder.decode(bytes, side - 1)) std::abort();
    return 0;
}
