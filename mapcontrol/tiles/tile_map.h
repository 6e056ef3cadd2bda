#pragma once
// A tile picture of a view, as the host gets it: the tiles resampled into
// the frame reported to the host, the built-in map under any gap, and the
// centre mark, the scale bar and the source's credit on top (no graticule,
// no place labels).

#include <cstdint>
#include <string>
#include <vector>

#include "contracts/picture.h"
#include "mapcontrol/map_data.h"
#include "mapcontrol/tiles/tile_compose.h"
#include "mapcontrol/view.h"

namespace vamu::tiles {

struct TilePictureStyle {
    std::int32_t zoom = 0;  // from tileZoomFor
    std::u32string credit;  // the source's credit at that zoom
    bool overviewMode = false;
    const mapcontrol::MapData* glyphs = nullptr;  // the glyphs of the text; null: the built-in data set's
};

// The zoom of a source (minZoom .. maxZoom) whose tiles suit the view's scale
// at its centre; beyond the source's finest zoom the finest is stretched.
std::int32_t tileZoomFor(const mapcontrol::View& view, std::int32_t minZoom, std::int32_t maxZoom);

// The picture of the view. The tiles of the zoom not at hand go to missing,
// nearest the centre first, for the fetcher.
Image drawTileMap(const mapcontrol::View& view, const TilePictureStyle& style, TileLookup& lookup,
                  std::vector<TileId>& missing, const FloorPainter& floor);

// The built-in map of the view without its graticule, labels and furniture
// (sea only when data is null), laid into the frame the host is given, as
// the tiles are.
FloorPainter builtInFloor(const mapcontrol::View& view, const mapcontrol::MapData* data);

}  // namespace vamu::tiles
