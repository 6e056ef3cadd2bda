#pragma once
// Fetching an area ahead of use: which tiles a WGS84 rectangle covers over
// a range of zooms, how many they are, and whether the source allows it.

#include <cstdint>
#include <optional>
#include <string>

#include "mapcontrol/tiles/tile_id.h"
#include "mapcontrol/tiles/tile_sources.h"

namespace vamu::tiles {

// No prefetch is larger than this, whatever the source allows.
inline constexpr std::uint64_t kMaxPrefetchTiles = 100000;

// Degrees: west < east, south < north (no crossing of the antimeridian).
struct PrefetchArea {
    double west = 0, south = 0, east = 0, north = 0;
    std::int32_t minZoom = 0, maxZoom = 0;
};

struct PrefetchPlan {
    PrefetchArea area;        // zooms narrowed to the source's
    std::uint64_t tiles = 0;  // the tiles the area covers over those zooms
    std::u16string refusal;   // why it may not run (for the log); empty when it may
    bool allowed() const { return refusal.empty(); }
};

PrefetchPlan planPrefetch(const TileSource& source, PrefetchArea area);

// The tiles of an area, zoom by zoom from the smallest, rows north to south.
class PrefetchTiles {
public:
    explicit PrefetchTiles(const PrefetchArea& area);
    std::optional<TileId> next();

private:
    void startZoom(std::int32_t z);
    PrefetchArea area_;
    std::int32_t z_ = 0;
    std::int32_t x0_ = 0, x1_ = -1, y1_ = -1, x_ = 0, y_ = 0;
};

}  // namespace vamu::tiles
