#pragma once
// Renders the glyphs the map's labels need with FreeType, as 8-bit coverage.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace vamu::mapdata {

struct GlyphImage {
    char32_t codePoint = 0;
    int advance = 0, left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> coverage;
};

struct GlyphSize {
    int pixels = 0, ascent = 0, lineHeight = 0;
    std::vector<GlyphImage> glyphs;
};

std::vector<GlyphSize> renderGlyphs(const std::string& fontPath, const std::vector<int>& sizes,
                                    const std::set<char32_t>& codePoints);

}  // namespace vamu::mapdata
