#include "mapcontrol/tiles/tile_map.h"

#include <algorithm>
#include <cmath>

#include "engine/conversions.h"
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

namespace {

// Where each column (or row) of the host's frame lies in the control's own
// pixels: the host's degrees shifted back to the Tokyo datum. The shift is
// taken at the frame's centre row (or column); its cross terms move a point
// by far less than a pixel across any picture.
struct FloorAxes {
    std::vector<double> x, y;
};

FloorAxes floorAxes(const mapcontrol::View& view, const WgsFrame& f) {
    FloorAxes a;
    const double midLat = (f.y1 + f.y2) / 2.0, midLng = (f.x1 + f.x2) / 2.0;
    double lat = 0, lng = 0;
    for (std::int32_t px = 0; px < f.width; ++px) {
        WGS84ToTokyo(midLat, f.x1 + (f.x2 - f.x1) * (px + 0.5) / f.width, lat, lng);
        a.x.push_back(mapcontrol::pixelX(view, lng * mapcontrol::kMsecPerDegree));
    }
    for (std::int32_t py = 0; py < f.height; ++py) {
        WGS84ToTokyo(f.y1 + (f.y2 - f.y1) * (py + 0.5) / f.height, midLng, lat, lng);
        a.y.push_back(mapcontrol::pixelY(view, lat * mapcontrol::kMsecPerDegree));
    }
    return a;
}

// How far the axes reach beyond 0 .. size on either side, at most half the size.
std::int32_t overhang(const std::vector<double>& at, std::int32_t size) {
    const auto [low, high] = std::minmax_element(at.begin(), at.end());
    const double beyond = std::max({0.0, -*low, *high - size}) + 1.0;
    return static_cast<std::int32_t>(std::min(std::ceil(beyond), size / 2.0));
}

std::int32_t nearest(double coordinate, std::int32_t size) {
    return static_cast<std::int32_t>(std::clamp(std::floor(coordinate), 0.0, size - 1.0));
}

// The built-in map of the view resampled into the host's frame, so that it
// lies under the tiles as they do: at the finest layers the frame's whole
// arc-second corners stand up to a third of the picture off the view.
Image floorInFrame(const mapcontrol::View& view, const mapcontrol::MapData* data) {
    const WgsFrame f = frameOf(view);
    if (f.width <= 0 || f.height <= 0) return Image(std::max(f.width, 0), std::max(f.height, 0));
    const FloorAxes a = floorAxes(view, f);
    mapcontrol::View grown = view;
    const std::int32_t mx = overhang(a.x, view.width), my = overhang(a.y, view.height);
    grown.width = view.width + 2 * mx;
    grown.height = view.height + 2 * my;
    mapcontrol::DrawingOptions options;
    options.data = data;
    options.bare = true;
    const Image drawn = mapcontrol::drawMap(grown, options);
    Image out(f.width, f.height);
    for (std::int32_t py = 0; py < f.height; ++py) {
        const std::int32_t sy = nearest(a.y[static_cast<std::size_t>(py)] + my, drawn.height);
        for (std::int32_t px = 0; px < f.width; ++px) {
            out.at(px, py) = drawn.at(nearest(a.x[static_cast<std::size_t>(px)] + mx, drawn.width), sy);
        }
    }
    return out;
}

}  // namespace

FloorPainter builtInFloor(const mapcontrol::View& view, const mapcontrol::MapData* data) {
    return [view, data] { return floorInFrame(view, data); };
}

}  // namespace vamu::tiles
