#pragma once
// Text in the glyphs of the map data set, with a light halo that keeps it
// legible over lines and fills. Without glyphs (no data set) the 3 x 5 pixel
// font stands in.

#include <cstdint>
#include <string_view>

#include "mapcontrol/canvas.h"
#include "mapcontrol/map_data.h"

namespace vamu::mapcontrol {

class TextPainter {
public:
    explicit TextPainter(const GlyphSet* glyphs) : glyphs_(glyphs) {}

    std::int32_t width(std::u32string_view text) const;
    std::int32_t height() const;  // of a line box
    // Draws the text with its line box's top-left corner at (x, y).
    void draw(Canvas& canvas, std::int32_t x, std::int32_t y, std::u32string_view text, std::uint32_t colour,
              bool halo) const;

private:
    const GlyphSet* glyphs_;
};

}  // namespace vamu::mapcontrol
