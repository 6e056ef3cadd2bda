#pragma once
// The map data set, decoded for drawing: shorelines with the rings that fill
// them, rivers and borders in bins at five resolutions, populated places and
// the glyphs of the labels. Every coordinate is Tokyo-datum msec.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace vamu::mapcontrol {

struct MsecPoint {
    std::int32_t lat = 0;
    std::int32_t lng = 0;
};

// A run of points in a bin's point store, with its level or class.
struct Polyline {
    std::uint8_t level = 0;
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    std::int32_t south = 0, north = 0, west = 0, east = 0;  // msec bounds of the points
};

struct GeoBin {
    std::int32_t south = 0, north = 0, west = 0, east = 0;  // msec bounds of the corners
    std::vector<Polyline> lines;
    std::vector<Polyline> rings;  // shorelines only, in painting order
};

struct Geometry {
    std::vector<GeoBin> bins;
    std::vector<MsecPoint> points;
};

enum class Resolution { Crude, Low, Intermediate, High, Full };
inline constexpr std::size_t kResolutionCount = 5;

struct Place {
    MsecPoint at;
    std::uint32_t population = 0;
    std::uint8_t kind = 0;  // 0 town, 1 prefectural seat, 2 capital
    std::u32string name;
};

struct Glyph {
    std::int32_t advance = 0, left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> coverage;
};

struct GlyphSet {
    std::int32_t pixels = 0, ascent = 0, lineHeight = 0;
    std::vector<std::pair<char32_t, Glyph>> glyphs;  // sorted by code point
    const Glyph* find(char32_t cp) const;
};

struct MapDataLoad;

enum class Layer { Shore, Rivers, Borders };

// The places and glyphs are decoded when the set is loaded; each geometry
// when it is first asked for, so that the first picture waits only for the
// resolution it draws. A geometry that turns out inconsistent (the checksum
// held, so only a faulty generator makes one) is empty.
class MapData {
public:
    MapData(std::vector<std::uint8_t> owned, std::span<const std::uint8_t> bytes);

    const Geometry& geometry(Layer layer, Resolution resolution) const;
    const std::vector<Place>& places() const { return places_; }
    const std::vector<GlyphSet>& fonts() const { return fonts_; }  // smallest first
    std::size_t bytes() const;                                     // memory held by what is decoded, roughly

private:
    friend MapDataLoad loadMapData(std::span<const std::uint8_t> bytes, bool lasting);
    struct Lazy {
        std::span<const std::uint8_t> encoded;
        mutable std::once_flag once;
        mutable Geometry decoded;
    };
    std::vector<std::uint8_t> owned_;  // the bytes, unless they live as long as the program
    std::span<const std::uint8_t> bytes_;
    std::array<Lazy, 3 * kResolutionCount> geometry_;
    std::vector<Place> places_;
    std::vector<GlyphSet> fonts_;
};

struct MapDataLoad {
    std::unique_ptr<const MapData> data;  // null when the set could not be read
    std::string error;
};

// Checks and opens a data set; a damaged or truncated one gives an error,
// never a partial set. The bytes are copied unless `lasting` says they live
// as long as the program.
MapDataLoad loadMapData(std::span<const std::uint8_t> bytes, bool lasting = false);

// The data set built into the program, decoded on first use.
const MapDataLoad& builtInMapData();
std::span<const std::uint8_t> builtInMapDataBytes();

}  // namespace vamu::mapcontrol
