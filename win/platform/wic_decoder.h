#pragma once
// PNG and JPEG tiles decoded by the Windows Imaging Component.

#include "contracts/tile_platform.h"

namespace vamu::win {

class WicImageDecoder : public ImageDecoder {
public:
    // Any thread: one without COM joins the multithreaded apartment for the
    // time of the call; the apartment of one that has COM is kept.
    std::optional<Image> decode(std::span<const std::uint8_t> bytes, std::int32_t maxSide) override;
};

}  // namespace vamu::win
