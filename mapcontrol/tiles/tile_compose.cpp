#include "mapcontrol/tiles/tile_compose.h"

#include <algorithm>
#include <cmath>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace vamu::tiles {

namespace {

constexpr std::size_t kTile = kTileSize;
constexpr std::size_t kTileTexels = kTile * kTile;
constexpr std::uint32_t kTileShift = 8;  // log2 of kTileSize
static_assert(std::size_t{1} << kTileShift == kTile);
// Below this the second thread costs about what it saves.
constexpr std::size_t kRowsWorthAThread = 128;

// The tiles of the range side by side: each slot points at 256 x 256
// texels, a tile's own pixels where it is at hand and 256 pixels square,
// a stand-in made here otherwise. Global texel (x, y) of the range is
// texel (x % 256, y % 256) of slot (x / 256, y / 256); nothing is copied.
struct Slots {
    TileRange range;
    std::size_t columns = 0, rows = 0;
    std::vector<const std::uint32_t*> texels;        // row by row
    std::vector<std::uint8_t> floor;                 // no tile or ancestor there
    std::vector<std::shared_ptr<const Image>> held;  // the tiles pointed at
    std::vector<std::vector<std::uint32_t>> made;    // the stand-ins
    std::vector<std::uint32_t> noMap;                // where the floor will go

    std::size_t index(std::size_t column, std::size_t row) const { return row * columns + column; }
    std::uint32_t* make(std::size_t column, std::size_t row) {
        made.emplace_back(kTileTexels);
        texels[index(column, row)] = made.back().data();
        return made.back().data();
    }
};

// One bilinear sample of an image at a continuous point, clamped to its edges.
std::uint32_t sample(const Image& src, double x, double y) {
    const double fx = std::clamp(x - 0.5, 0.0, src.width - 1.0);
    const double fy = std::clamp(y - 0.5, 0.0, src.height - 1.0);
    const auto x0 = static_cast<std::int32_t>(fx), y0 = static_cast<std::int32_t>(fy);
    const std::int32_t x1 = std::min(x0 + 1, src.width - 1), y1 = std::min(y0 + 1, src.height - 1);
    const double tx = fx - x0, ty = fy - y0;
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        auto c = [&](std::int32_t cx, std::int32_t cy) { return (src.at(cx, cy) >> shift) & 0xFFu; };
        const double top = c(x0, y0) + (c(x1, y0) - static_cast<double>(c(x0, y0))) * tx;
        const double bottom = c(x0, y1) + (c(x1, y1) - static_cast<double>(c(x0, y1))) * tx;
        out |= static_cast<std::uint32_t>(std::lround(top + (bottom - top) * ty)) << shift;
    }
    return out;
}

// Fills 256 x 256 texels from a part of an image: texel (sx, sy) takes the
// image's point (ox + (sx + 0.5) * step, oy + (sy + 0.5) * step).
void resample(std::uint32_t* dst, const Image& src, double ox, double oy, double step) {
    for (std::size_t sy = 0; sy < kTile; ++sy, dst += kTile) {
        const double y = oy + (static_cast<double>(sy) + 0.5) * step;
        for (std::size_t sx = 0; sx < kTile; ++sx) {
            dst[sx] = sample(src, ox + (static_cast<double>(sx) + 0.5) * step, y);
        }
    }
}

bool usable(const std::shared_ptr<const Image>& image) {
    return image && image->width > 0 && image->height > 0 &&
           image->pixels.size() ==
               static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height);
}

class Filler {
public:
    Filler(TileLookup& lookup, Slots& slots, std::int32_t zoom) : lookup_(lookup), s_(slots), zoom_(zoom) {}

    void fill(std::vector<TileId>& missing) {
        for (std::size_t row = 0; row < s_.rows; ++row) {
            for (std::size_t column = 0; column < s_.columns; ++column) {
                const TileId id{
                    zoom_, wrapColumn(s_.range.firstColumn + static_cast<std::int64_t>(column), zoom_),
                    static_cast<std::int32_t>(s_.range.firstRow + static_cast<std::int64_t>(row))};
                if (const auto tile = find(id); usable(tile)) {
                    place(*tile, column, row);
                    s_.held.push_back(tile);
                    continue;
                }
                if (notAtHand_.insert(id).second) missing.push_back(id);
                if (!standIn(id, column, row)) markFloor(column, row);
            }
        }
    }

private:
    std::shared_ptr<const Image> find(TileId id) {
        const auto it = known_.find(id);
        if (it != known_.end()) return it->second;
        return known_[id] = lookup_.tile(id);
    }

    void place(const Image& tile, std::size_t column, std::size_t row) {
        if (tile.width == kTileSize && tile.height == kTileSize) {
            s_.texels[s_.index(column, row)] = tile.pixels.data();
        } else {
            resample(s_.make(column, row), tile, 0, 0, tile.width / double{kTileSize});
        }
    }

    bool standIn(TileId id, std::size_t column, std::size_t row) {
        TileId up = id;
        for (std::int32_t k = 1; k <= kMaxAncestorLevels && up.z > 0; ++k) {
            up = up.parent();
            const auto a = find(up);
            if (!usable(a)) continue;
            const double parts = std::ldexp(1.0, k);
            const double partX = a->width / parts, partY = a->height / parts;
            const std::int32_t mask = (1 << k) - 1;
            resample(s_.make(column, row), *a, (id.x & mask) * partX, (id.y & mask) * partY,
                     partX / kTileSize);
            return true;
        }
        return false;
    }

    // Not left unset: the resampling reads these texels before the floor
    // replaces the pixels that used them.
    void markFloor(std::size_t column, std::size_t row) {
        if (s_.noMap.empty()) s_.noMap.assign(kTileTexels, kNoMapColour);
        s_.floor[s_.index(column, row)] = 1;
        s_.texels[s_.index(column, row)] = s_.noMap.data();
    }

    TileLookup& lookup_;
    Slots& s_;
    std::int32_t zoom_;
    std::unordered_map<TileId, std::shared_ptr<const Image>, TileIdHash> known_;
    std::unordered_set<TileId, TileIdHash> notAtHand_;
};

// Per column (or row) of the picture: the two texels its bilinear sample
// reads, each as a slot and a place within it, and the second one's weight
// in 256ths.
struct Tap {
    std::uint32_t slot0 = 0, at0 = 0, slot1 = 0, at1 = 0, weight = 0;
};

std::vector<Tap> taps(const std::vector<double>& at, double origin, std::size_t texels) {
    std::vector<Tap> t(at.size());
    const double last = static_cast<double>(texels) - 1.0;
    for (std::size_t i = 0; i < at.size(); ++i) {
        const double f = std::clamp(at[i] - 0.5 - origin, 0.0, last);
        const double i0 = std::floor(f);
        const auto first = static_cast<std::uint32_t>(i0);
        const auto second = static_cast<std::uint32_t>(std::min(i0 + 1.0, last));
        t[i] = {first >> kTileShift, first & (kTileSize - 1), second >> kTileShift, second & (kTileSize - 1),
                static_cast<std::uint32_t>(std::lround((f - i0) * 256.0))};
    }
    return t;
}

// Mixes two pixels, b by w/256: red and blue in one multiply, green in another.
inline std::uint32_t mix(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
    const std::uint32_t v = 256 - w;
    const std::uint32_t rb = ((a & 0xFF00FFu) * v + (b & 0xFF00FFu) * w + 0x800080u) >> 8;
    const std::uint32_t g = ((a & 0x00FF00u) * v + (b & 0x00FF00u) * w + 0x008000u) >> 8;
    return (rb & 0xFF00FFu) | (g & 0x00FF00u);
}

// The picture's rows first .. end.
void resampleRows(const Slots& s, const std::vector<Tap>& cols, const std::vector<Tap>& rows, Image& out,
                  std::size_t first, std::size_t end) {
    const auto w = static_cast<std::size_t>(out.width);
    // Per slot column, the texel rows this picture row reads.
    std::vector<const std::uint32_t*> top(s.columns), bottom(s.columns);
    for (std::size_t y = first; y < end; ++y) {
        const Tap& r = rows[y];
        for (std::size_t c = 0; c < s.columns; ++c) {
            top[c] = s.texels[s.index(c, r.slot0)] + r.at0 * kTile;
            bottom[c] = s.texels[s.index(c, r.slot1)] + r.at1 * kTile;
        }
        std::uint32_t* dst = out.pixels.data() + y * w;
        for (std::size_t x = 0; x < w; ++x) {
            const Tap& c = cols[x];
            const std::uint32_t upper = mix(top[c.slot0][c.at0], top[c.slot1][c.at1], c.weight);
            const std::uint32_t lower = mix(bottom[c.slot0][c.at0], bottom[c.slot1][c.at1], c.weight);
            dst[x] = mix(upper, lower, r.weight);
        }
    }
}

// The lower half of a large picture on a second thread where the machine has
// a second core: the halves write rows of their own and only read the rest.
void resampleAll(const Slots& s, const std::vector<Tap>& cols, const std::vector<Tap>& rows, Image& out) {
    const auto height = static_cast<std::size_t>(out.height);
    const std::size_t half = height / 2;
    std::thread lower;
    if (height >= kRowsWorthAThread && std::thread::hardware_concurrency() > 1) {
        try {
            lower = std::thread([&] { resampleRows(s, cols, rows, out, half, height); });
        } catch (const std::system_error&) {
            // No thread to be had: this one does it all.
        }
    }
    resampleRows(s, cols, rows, out, 0, lower.joinable() ? half : height);
    if (lower.joinable()) lower.join();
}

// Puts the floor wherever a pixel's sample touches a slot without a tile.
void underlayFloor(const Slots& s, const std::vector<Tap>& cols, const std::vector<Tap>& rows, Image& out,
                   const FloorPainter& floor) {
    auto isFloor = [&](std::uint32_t r, std::uint32_t c) { return s.floor[s.index(c, r)] != 0; };
    Image painted;
    bool asked = false;
    for (std::int32_t y = 0; y < out.height; ++y) {
        const Tap& r = rows[static_cast<std::size_t>(y)];
        for (std::int32_t x = 0; x < out.width; ++x) {
            const Tap& c = cols[static_cast<std::size_t>(x)];
            if (!isFloor(r.slot0, c.slot0) && !isFloor(r.slot0, c.slot1) && !isFloor(r.slot1, c.slot0) &&
                !isFloor(r.slot1, c.slot1)) {
                continue;
            }
            if (!asked) {
                asked = true;
                if (floor) painted = floor();
            }
            const bool fits = painted.width == out.width && painted.height == out.height;
            out.at(x, y) = fits ? painted.at(x, y) : kNoMapColour;
        }
    }
}

Image floorOnly(const WgsFrame& frame, const FloorPainter& floor) {
    Image painted = floor ? floor() : Image{};
    if (painted.width == frame.width && painted.height == frame.height) return painted;
    return Image(frame.width, frame.height, kNoMapColour);
}

// No more than about four times the picture's pixels in tiles.
bool tooManyTiles(const WgsFrame& frame, const TileRange& range) {
    const std::int64_t across = frame.width / kTileSize + 2, down = frame.height / kTileSize + 2;
    return range.columns() * range.rows() > 4 * across * down;
}

}  // namespace

Image composeTiles(const WgsFrame& frame, std::int32_t zoom, TileLookup& lookup, std::vector<TileId>& missing,
                   const FloorPainter& floor) {
    missing.clear();
    zoom = std::clamp<std::int32_t>(zoom, 0, kMaxZoom);
    const FrameAxes axes = frameAxes(frame, zoom);
    Slots s;
    s.range = tileRange(axes, zoom);
    if (s.range.empty()) return Image(std::max(frame.width, 0), std::max(frame.height, 0), kNoMapColour);
    if (tooManyTiles(frame, s.range)) return floorOnly(frame, floor);
    s.columns = static_cast<std::size_t>(s.range.columns());
    s.rows = static_cast<std::size_t>(s.range.rows());
    s.texels.assign(s.columns * s.rows, nullptr);
    s.floor.assign(s.columns * s.rows, 0);
    Filler(lookup, s, zoom).fill(missing);

    const std::vector<Tap> cols =
        taps(axes.x, static_cast<double>(s.range.firstColumn) * kTileSize, s.columns * kTile);
    const std::vector<Tap> rows =
        taps(axes.y, static_cast<double>(s.range.firstRow) * kTileSize, s.rows * kTile);
    Image out(frame.width, frame.height);
    resampleAll(s, cols, rows, out);
    if (std::find(s.floor.begin(), s.floor.end(), 1) != s.floor.end())
        underlayFloor(s, cols, rows, out, floor);

    // Nearest the centre first, as the fetcher should ask for them.
    const std::unordered_set<TileId, TileIdHash> notAtHand(missing.begin(), missing.end());
    missing.clear();
    for (const TileId& id : tilesCovering(frame, zoom)) {
        if (notAtHand.count(id)) missing.push_back(id);
    }
    return out;
}

}  // namespace vamu::tiles
