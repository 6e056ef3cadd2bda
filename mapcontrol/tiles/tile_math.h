#pragma once
// Web Mercator in the XYZ tile scheme: WGS84 degrees to global pixel
// coordinates at a zoom (256 pixels a tile, pixel i spanning [i, i + 1)),
// the zoom that suits a map scale and the tiles a picture needs.

#include <cstdint>
#include <vector>

#include "mapcontrol/tiles/tile_id.h"

namespace vamu::tiles {

// Latitudes beyond this are off the square Mercator world.
inline constexpr double kMaxMercatorLatitude = 85.0511287798066;
// Ground metres per pixel at the equator at zoom 0.
inline constexpr double kEquatorMetresPerPixel = 156543.03392804097;

// The picture's frame as the host sees it: WGS84 degrees of pixel (0,0)
// (x1 = longitude, y1 = latitude) and of pixel (width, height); the host
// interpolates linearly between them.
struct WgsFrame {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::int32_t width = 0, height = 0;
};

// The world's width in pixels at a zoom.
double worldPixels(std::int32_t zoom);
// Global pixel coordinates at a zoom; latitudes are clamped to the world.
double mercatorX(double longitude, std::int32_t zoom);
double mercatorY(double latitude, std::int32_t zoom);
double longitudeAt(double x, std::int32_t zoom);
double latitudeAt(double y, std::int32_t zoom);

// Ground metres per tile pixel at a latitude and zoom.
double groundResolution(double latitude, std::int32_t zoom);

// The zoom whose ground resolution at the latitude is nearest (in log
// scale) to metresPerPixel, within minZoom .. maxZoom.
std::int32_t chooseZoom(double metresPerPixel, double latitude, std::int32_t minZoom, std::int32_t maxZoom);

// Where each column's and each row's pixel centre falls in global pixels at
// the zoom, by the host's linear interpolation between the frame's corners.
struct FrameAxes {
    std::vector<double> x;  // one per column
    std::vector<double> y;  // one per row, clamped to the world
};
FrameAxes frameAxes(const WgsFrame& frame, std::int32_t zoom);

// The tile columns and rows the bilinear samples of the axes touch. Columns
// are unwrapped (they may lie outside 0 .. 2^z - 1 across the antimeridian);
// rows are clamped to the world. Empty when first > last.
struct TileRange {
    std::int64_t firstColumn = 0, lastColumn = -1, firstRow = 0, lastRow = -1;
    bool empty() const { return firstColumn > lastColumn || firstRow > lastRow; }
    std::int64_t columns() const { return empty() ? 0 : lastColumn - firstColumn + 1; }
    std::int64_t rows() const { return empty() ? 0 : lastRow - firstRow + 1; }
};
TileRange tileRange(const FrameAxes& axes, std::int32_t zoom);

// A column wrapped into the world.
std::int32_t wrapColumn(std::int64_t column, std::int32_t zoom);

// The tiles the picture needs at the zoom, those nearest its centre first,
// each once.
std::vector<TileId> tilesCovering(const WgsFrame& frame, std::int32_t zoom);

}  // namespace vamu::tiles
