#include "mapcontrol/tiles/tile_map.h"

#include "mapcontrol/glyph_text.h"
#include "mapcontrol/map_drawing.h"
#include "mapcontrol/tiles/tile_credit.h"
#include "mapcontrol/tiles/tile_frame.h"

namespace vamu::tiles {

std::int32_t tileZoomFor(const mapcontrol::View& view, std::int32_t minZoom, std::int32_t maxZoom) {
    const WgsFrame f = frameOf(view);
    return chooseZoom(mapcontrol::metresPerPixel(view), (f.y1 + f.y2) / 2.0, minZoom, maxZoom);
}

Image drawTileMap(const mapcontrol::View& view, const TilePictureStyle& style, TileLookup& lookup,
                  std::vector<TileId>& missing, const FloorPainter& floor) {
    Image image = composeTiles(frameOf(view), style.zoom, lookup, missing, floor);
    const mapcontrol::MapData* data = style.glyphs ? style.glyphs : mapcontrol::builtInMapData().data.get();
    const mapcontrol::TextPainter text(data && !data->fonts().empty() ? &data->fonts().front() : nullptr);
    const mapcontrol::PixelBox bar = mapcontrol::drawScaleBar(image, view, data);
    drawCredit(image, style.credit, text, bar);
    mapcontrol::drawCentreMark(image, view, style.overviewMode);
    return image;
}

FloorPainter builtInFloor(const mapcontrol::View& view, const mapcontrol::MapData* data) {
    return [view, data] {
        mapcontrol::DrawingOptions options;
        options.data = data;
        options.bare = true;
        return mapcontrol::drawMap(view, options);
    };
}

}  // namespace vamu::tiles
