#pragma once
// The layout of the map data set, shared by its generator and its reader.
//
// "VMAP", then three little-endian 32-bit words: the format version, the
// payload's length and its CRC-32. The payload is a run of sections, each a
// four-character tag, a 32-bit length and its bytes. Numbers inside the
// sections are unsigned LEB128 varints; signed ones are zigzag coded first.
//
// Geometry sections ("SHO" shorelines, "RIV" rivers, "BOR" borders, each
// followed by the GSHHG resolution letter c, l, i, h or f): the bin size in
// minutes, the number of bins, the number of points once the rings are
// spelt out, then per bin its row (from the north), its
// column (east from 0°), the length of its body and the body: the four
// corners SW, SE, NE, NW as Tokyo-datum msec (latitude, longitude), the
// segments (level, point count, the first point relative to the SW corner,
// every further point relative to the one before), and for shorelines the
// rings that fill the bin: level, piece count, pieces (2 × segment for a
// segment's points in order, 2 × corner + 1 for a corner).
//
// "PLAC": places (latitude, longitude, population, kind, UTF-8 name).
// "FONT": glyph sizes (pixel size, ascent, line height, glyphs: code point,
// advance, left, top, width, height, width × height coverage bytes).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vamu::mapdata {

inline constexpr char kMagic[4] = {'V', 'M', 'A', 'P'};
inline constexpr std::uint32_t kFormatVersion = 1;
inline constexpr std::size_t kHeaderBytes = 16;
inline constexpr char kResolutions[5] = {'c', 'l', 'i', 'h', 'f'};

enum class PlaceKind : std::uint8_t { Town = 0, PrefectureSeat = 1, Capital = 2 };

inline std::uint32_t zigzag(std::int64_t v) {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(v) << 1) ^
                                      static_cast<std::uint64_t>(v >> 63));
}
inline std::int32_t unzigzag(std::uint32_t v) { return static_cast<std::int32_t>((v >> 1) ^ (~(v & 1) + 1)); }

inline void putVarint(std::vector<std::uint8_t>& out, std::uint32_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(v));
}

inline void putWord(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline std::uint32_t readWord(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// CRC-32 (IEEE 802.3, reflected), as zlib computes it.
std::uint32_t crc32(std::span<const std::uint8_t> bytes);

}  // namespace vamu::mapdata
