#pragma once
// Tile pictures decoded with libpng and libjpeg(-turbo).

#include "contracts/tile_platform.h"

namespace vamu::native {

class TileDecoder final : public ImageDecoder {
public:
    // PNG of any colour type and depth (transparency composited over white)
    // and baseline or progressive JPEG (grey, YCbCr or RGB). A warning of a
    // damaged stream counts as a failure.
    std::optional<Image> decode(std::span<const std::uint8_t> bytes, std::int32_t maxSide) override;
};

}  // namespace vamu::native
