#pragma once
// The credit of a tile source in the bottom-right corner of a picture, on a
// light box. A credit too long for one line is wrapped (at spaces where it
// can, anywhere in a run without spaces), so all of it is always shown.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "contracts/picture.h"
#include "mapcontrol/glyph_text.h"
#include "mapcontrol/place_labels.h"

namespace vamu::tiles {

// The credit's lines, each no wider than maxWidth pixels unless a single
// character is.
std::vector<std::u32string> wrapCredit(std::u32string_view credit, const mapcontrol::TextPainter& text,
                                       std::int32_t maxWidth);

// Draws the credit clear of the box to avoid (the scale bar): beside it
// where there is room, above it otherwise. Returns the credit's box.
mapcontrol::PixelBox drawCredit(Image& image, std::u32string_view credit, const mapcontrol::TextPainter& text,
                                const mapcontrol::PixelBox& avoid);

}  // namespace vamu::tiles
