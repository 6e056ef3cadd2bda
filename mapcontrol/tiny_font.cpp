#include "mapcontrol/tiny_font.h"

#include <array>
#include <limits>

namespace vamu::mapcontrol {

namespace {

struct Glyph {
    char16_t ch;
    std::array<std::uint8_t, kGlyphHeight> rows;  // bit 2 is the left column
};

constexpr Glyph kGlyphs[] = {
    {u'0', {0b111, 0b101, 0b101, 0b101, 0b111}}, {u'1', {0b010, 0b110, 0b010, 0b010, 0b111}},
    {u'2', {0b111, 0b001, 0b111, 0b100, 0b111}}, {u'3', {0b111, 0b001, 0b111, 0b001, 0b111}},
    {u'4', {0b101, 0b101, 0b111, 0b001, 0b001}}, {u'5', {0b111, 0b100, 0b111, 0b001, 0b111}},
    {u'6', {0b111, 0b100, 0b111, 0b101, 0b111}}, {u'7', {0b111, 0b001, 0b010, 0b010, 0b010}},
    {u'8', {0b111, 0b101, 0b111, 0b101, 0b111}}, {u'9', {0b111, 0b101, 0b111, 0b001, 0b111}},
    {u'N', {0b110, 0b101, 0b101, 0b101, 0b101}}, {u'S', {0b011, 0b100, 0b010, 0b001, 0b110}},
    {u'E', {0b111, 0b100, 0b110, 0b100, 0b111}}, {u'W', {0b101, 0b101, 0b111, 0b111, 0b101}},
    {u'k', {0b100, 0b101, 0b110, 0b101, 0b101}}, {u'm', {0b000, 0b000, 0b111, 0b111, 0b101}},
    {u'°', {0b010, 0b101, 0b010, 0b000, 0b000}}, {u'\'', {0b010, 0b010, 0b000, 0b000, 0b000}},
    {u'"', {0b101, 0b101, 0b000, 0b000, 0b000}}, {u'.', {0b000, 0b000, 0b000, 0b000, 0b010}},
    {u'-', {0b000, 0b000, 0b111, 0b000, 0b000}},
};

const Glyph* glyphFor(char16_t ch) {
    for (const Glyph& g : kGlyphs) {
        if (g.ch == ch) return &g;
    }
    return nullptr;
}

void drawGlyph(Canvas& canvas, std::int32_t x, std::int32_t y, const Glyph& glyph, std::uint32_t colour) {
    for (std::int32_t row = 0; row < kGlyphHeight; ++row) {
        for (std::int32_t col = 0; col < kGlyphWidth; ++col) {
            if (glyph.rows[static_cast<std::size_t>(row)] & (0b100 >> col)) {
                canvas.put(x + col, y + row, colour);
            }
        }
    }
}

}  // namespace

std::int32_t textWidth(std::u16string_view text) {
    constexpr std::size_t kMaxChars = std::numeric_limits<std::int32_t>::max() / kGlyphAdvance;
    const std::size_t n = text.size() < kMaxChars ? text.size() : kMaxChars;
    return n == 0 ? 0 : static_cast<std::int32_t>(n) * kGlyphAdvance - 1;
}

void drawText(Canvas& canvas, std::int32_t x, std::int32_t y, std::u16string_view text,
              std::uint32_t colour) {
    for (char16_t ch : text) {
        if (x >= canvas.width()) return;
        if (const Glyph* g = glyphFor(ch)) drawGlyph(canvas, x, y, *g, colour);
        x += kGlyphAdvance;
    }
}

void drawLabel(Canvas& canvas, std::int32_t x, std::int32_t y, std::u16string_view text, std::uint32_t colour,
               std::uint32_t background) {
    canvas.fillRect(x - 1, y - 1, x + textWidth(text) + 1, y + kGlyphHeight + 1, background);
    drawText(canvas, x, y, text, colour);
}

}  // namespace vamu::mapcontrol
