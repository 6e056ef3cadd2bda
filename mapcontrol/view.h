#pragma once
// Where the map control looks: a centre in msec on the Tokyo datum, a scale
// 1:S at 96 dots per inch, and a pixel size. The projection is a plain
// equirectangular one whose east-west scale is true at the centre's latitude.

#include <cstdint>

namespace vamu::mapcontrol {

// One msec of latitude on the ground: a nautical mile (1852 m) is one
// arc-minute, so a thousandth of an arc-second is 1852 / 60000 m (3.087 cm).
inline constexpr double kMetresPerMsec = 1852.0 / 60000.0;
// A screen pixel at 96 dots per inch is 0.0254 / 96 m wide on paper.
inline constexpr double kPaperMetresPerPixel = 0.0254 / 96.0;
inline constexpr double kMsecPerDegree = 3600000.0;
// Beyond this latitude the east-west scale stops growing (no division by a
// cosine near zero at the poles or at nonsense latitudes).
inline constexpr double kMaxScaledLatitudeDegrees = 89.0;
// The largest width or height the control accepts, in pixels.
inline constexpr std::int32_t kMaxPixels = 32767;

struct View {
    std::int32_t lat = 0;  // centre, msec
    std::int32_t lng = 0;
    std::int32_t scale = 1;
    std::int32_t width = 0;  // pixels
    std::int32_t height = 0;
};

struct GeoPoint {
    double lat = 0;  // msec, not rounded
    double lng = 0;
};

// Ground metres per pixel at the view's scale.
double metresPerPixel(const View& view);
// msec of latitude per pixel row, and of longitude per pixel column.
double msecPerPixelNorth(const View& view);
double msecPerPixelEast(const View& view);

// The position under a point in pixel coordinates (x east, y south).
GeoPoint positionAt(const View& view, double x, double y);
// The position under a pixel in whole msec, as the control reports it
// (rounded to nearest, halves to even).
struct MsecPosition {
    std::int32_t lat = 0;
    std::int32_t lng = 0;
};
MsecPosition roundedPositionAt(const View& view, std::int32_t x, std::int32_t y);
// The pixel coordinates of a position.
double pixelX(const View& view, double lngMsec);
double pixelY(const View& view, double latMsec);

// A size property in pixels: rounded to nearest, halves to even. A NaN, a
// negative or an oversized value is error 380.
std::int32_t pixelsFromProperty(float pixels);

}  // namespace vamu::mapcontrol
