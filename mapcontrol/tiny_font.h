#pragma once
// A 3 x 5 pixel font for the map's labels: digits, the compass letters,
// "k", "m", degree, minute and second marks, full stop, minus and space.

#include <cstdint>
#include <string_view>

#include "mapcontrol/canvas.h"

namespace vamu::mapcontrol {

inline constexpr std::int32_t kGlyphWidth = 3;
inline constexpr std::int32_t kGlyphHeight = 5;
inline constexpr std::int32_t kGlyphAdvance = kGlyphWidth + 1;

std::int32_t textWidth(std::u16string_view text);
// Draws the text with its top-left corner at (x, y); a character the font
// lacks leaves a blank.
void drawText(Canvas& canvas, std::int32_t x, std::int32_t y, std::u16string_view text, std::uint32_t colour);
// The text on a one-pixel margin of background colour.
void drawLabel(Canvas& canvas, std::int32_t x, std::int32_t y, std::u16string_view text, std::uint32_t colour,
               std::uint32_t background);

}  // namespace vamu::mapcontrol
