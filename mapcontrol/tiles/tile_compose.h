#pragma once
// A picture of a frame made of tiles at one zoom. Each tile pixel is
// resampled with the host's own mapping (linear in degrees between the
// frame's corners, Web Mercator within the tiles), so that whatever the host
// places by the corners lands on the tiles' features.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "contracts/picture.h"
#include "mapcontrol/tiles/tile_id.h"
#include "mapcontrol/tiles/tile_math.h"

namespace vamu::tiles {

class TileLookup {
public:
    virtual ~TileLookup() = default;
    // The decoded tile, or null when it is not at hand.
    virtual std::shared_ptr<const Image> tile(TileId id) = 0;
};

// The built-in map of the same frame, made only when some pixel needs it.
using FloorPainter = std::function<Image()>;

// How far up a missing tile's stand-in is looked for.
inline constexpr std::int32_t kMaxAncestorLevels = 8;
// Drawn where there is neither a tile nor a usable floor.
inline constexpr std::uint32_t kNoMapColour = 0xD8D8D8;

// Composes frame.width x frame.height pixels from the tiles at the zoom.
// A missing tile is stood in for by its nearest ancestor at hand (up to
// kMaxAncestorLevels up), stretched, and otherwise by the floor. The tiles
// of the zoom that were not at hand go to missing, nearest the centre
// first. A zoom so coarse for the picture that it would take far more
// tiles than the picture has pixels draws the floor alone.
Image composeTiles(const WgsFrame& frame, std::int32_t zoom, TileLookup& lookup, std::vector<TileId>& missing,
                   const FloorPainter& floor);

}  // namespace vamu::tiles
