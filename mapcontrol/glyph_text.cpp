#include "mapcontrol/glyph_text.h"

#include <algorithm>
#include <string>
#include <vector>

#include "mapcontrol/palette.h"
#include "mapcontrol/tiny_font.h"

namespace vamu::mapcontrol {

namespace {

constexpr std::int32_t kHalo = 1;

std::u16string narrow(std::u32string_view text) {
    std::u16string out;
    for (char32_t c : text) out.push_back(c < 0x10000 ? static_cast<char16_t>(c) : u'?');
    return out;
}

}  // namespace

std::int32_t TextPainter::width(std::u32string_view text) const {
    if (!glyphs_) return textWidth(narrow(text));
    std::int32_t w = 0;
    for (char32_t c : text) {
        if (const Glyph* g = glyphs_->find(c)) w += g->advance;
    }
    return w;
}

std::int32_t TextPainter::height() const { return glyphs_ ? glyphs_->lineHeight : kGlyphHeight; }

void TextPainter::draw(Canvas& canvas, std::int32_t x, std::int32_t y, std::u32string_view text,
                       std::uint32_t colour, bool halo) const {
    if (!glyphs_) {
        if (halo) {
            drawLabel(canvas, x, y, narrow(text), colour, palette::kLabelBack);
        } else {
            drawText(canvas, x, y, narrow(text), colour);
        }
        return;
    }
    // The coverage of the whole line first, so that the halo of one glyph
    // never covers its neighbour.
    const std::int32_t w = width(text) + 2 * kHalo + 2;
    const std::int32_t h = glyphs_->lineHeight + 2 * kHalo + 2;
    if (x + w < 0 || y + h < 0 || x - w > canvas.width() || y - h > canvas.height()) return;
    std::vector<std::uint8_t> cover(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    std::int32_t pen = kHalo + 1;
    const std::int32_t baseline = kHalo + 1 + glyphs_->ascent;
    for (char32_t c : text) {
        const Glyph* g = glyphs_->find(c);
        if (!g) continue;
        for (std::int32_t gy = 0; gy < g->height; ++gy) {
            for (std::int32_t gx = 0; gx < g->width; ++gx) {
                const std::int32_t cx = pen + g->left + gx, cy = baseline - g->top + gy;
                if (cx < 0 || cy < 0 || cx >= w || cy >= h) continue;
                auto& d = cover[static_cast<std::size_t>(cy * w + cx)];
                d = std::max(d, g->coverage[static_cast<std::size_t>(gy * g->width + gx)]);
            }
        }
        pen += g->advance;
    }
    const std::int32_t ox = x - kHalo - 1, oy = y - kHalo - 1;
    if (halo) {
        for (std::int32_t cy = 0; cy < h; ++cy) {
            for (std::int32_t cx = 0; cx < w; ++cx) {
                std::uint8_t m = 0;
                for (std::int32_t ny = std::max(0, cy - kHalo); ny <= std::min(h - 1, cy + kHalo); ++ny) {
                    for (std::int32_t nx = std::max(0, cx - kHalo); nx <= std::min(w - 1, cx + kHalo); ++nx) {
                        m = std::max(m, cover[static_cast<std::size_t>(ny * w + nx)]);
                    }
                }
                canvas.blend(ox + cx, oy + cy, palette::kLabelBack, m * 3u / 4u);
            }
        }
    }
    for (std::int32_t cy = 0; cy < h; ++cy) {
        for (std::int32_t cx = 0; cx < w; ++cx) {
            canvas.blend(ox + cx, oy + cy, colour, cover[static_cast<std::size_t>(cy * w + cx)]);
        }
    }
}

}  // namespace vamu::mapcontrol
