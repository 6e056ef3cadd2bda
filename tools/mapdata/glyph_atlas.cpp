#include "glyph_atlas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <stdexcept>

namespace vamu::mapdata {

namespace {

void check(FT_Error error, const std::string& what) {
    if (error) throw std::runtime_error("FreeType: " + what);
}

struct LibraryDeleter {
    void operator()(FT_Library l) const { FT_Done_FreeType(l); }
};
struct FaceDeleter {
    void operator()(FT_Face f) const { FT_Done_Face(f); }
};

GlyphImage render(FT_Face face, char32_t cp) {
    check(FT_Load_Char(face, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT), "glyph");
    const FT_GlyphSlot g = face->glyph;
    GlyphImage img;
    img.codePoint = cp;
    img.advance = static_cast<int>((g->advance.x + 32) >> 6);
    img.left = g->bitmap_left;
    img.top = g->bitmap_top;
    img.width = static_cast<int>(g->bitmap.width);
    img.height = static_cast<int>(g->bitmap.rows);
    for (int y = 0; y < img.height; ++y) {
        const unsigned char* row = g->bitmap.buffer + static_cast<std::ptrdiff_t>(y) * g->bitmap.pitch;
        img.coverage.insert(img.coverage.end(), row, row + img.width);
    }
    return img;
}

}  // namespace

std::vector<GlyphSize> renderGlyphs(const std::string& fontPath, const std::vector<int>& sizes,
                                    const std::set<char32_t>& codePoints) {
    FT_Library raw = nullptr;
    check(FT_Init_FreeType(&raw), "init");
    const std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library(raw);
    FT_Face rawFace = nullptr;
    check(FT_New_Face(raw, fontPath.c_str(), 0, &rawFace), "cannot open " + fontPath);
    const std::unique_ptr<FT_FaceRec_, FaceDeleter> face(rawFace);
    std::vector<GlyphSize> out;
    for (int px : sizes) {
        check(FT_Set_Pixel_Sizes(rawFace, 0, static_cast<FT_UInt>(px)), "size");
        GlyphSize size;
        size.pixels = px;
        size.ascent = static_cast<int>((rawFace->size->metrics.ascender + 32) >> 6);
        size.lineHeight = static_cast<int>((rawFace->size->metrics.height + 32) >> 6);
        for (char32_t cp : codePoints) {
            if (FT_Get_Char_Index(rawFace, cp) == 0) continue;
            size.glyphs.push_back(render(rawFace, cp));
        }
        out.push_back(std::move(size));
    }
    return out;
}

}  // namespace vamu::mapdata
