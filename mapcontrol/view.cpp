#include "mapcontrol/view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "contracts/runtime_error.h"
#include "engine/vb.h"

namespace vamu::mapcontrol {

double metresPerPixel(const View& view) { return static_cast<double>(view.scale) * kPaperMetresPerPixel; }

double msecPerPixelNorth(const View& view) { return metresPerPixel(view) / kMetresPerMsec; }

double msecPerPixelEast(const View& view) {
    const double degrees = std::min(std::fabs(view.lat / kMsecPerDegree), kMaxScaledLatitudeDegrees);
    return msecPerPixelNorth(view) / std::cos(degrees * std::numbers::pi / 180.0);
}

GeoPoint positionAt(const View& view, double x, double y) {
    const double dx = x - view.width / 2.0;
    const double dy = y - view.height / 2.0;
    return {view.lat - dy * msecPerPixelNorth(view), view.lng + dx * msecPerPixelEast(view)};
}

MsecPosition roundedPositionAt(const View& view, std::int32_t x, std::int32_t y) {
    const GeoPoint p = positionAt(view, x, y);
    const std::int32_t lat = vb::cLng(p.lat);
    return {lat, vb::cLng(p.lng)};
}

double pixelX(const View& view, double lngMsec) {
    return view.width / 2.0 + (lngMsec - view.lng) / msecPerPixelEast(view);
}

double pixelY(const View& view, double latMsec) {
    return view.height / 2.0 - (latMsec - view.lat) / msecPerPixelNorth(view);
}

std::int32_t pixelsFromProperty(float pixels) {
    if (std::isnan(pixels)) raise(ErrorNumber::InvalidPropertyValue);
    const double rounded = std::nearbyint(static_cast<double>(pixels));  // halves to even
    if (rounded < 0.0 || rounded > kMaxPixels) raise(ErrorNumber::InvalidPropertyValue);
    return static_cast<std::int32_t>(rounded);
}

}  // namespace vamu::mapcontrol
