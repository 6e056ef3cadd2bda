#include "simulator/session_start.h"

#include <algorithm>
#include <cmath>

namespace vamu::sim {

namespace {

// Half the default view's width and height: a first centre gets a view of
// the same extent.
constexpr double kHalfWidth = 0.25;
constexpr double kHalfHeight = 0.15;

// In whole microdegrees, so that the corners read as the host would type
// them (139.45, not 139.45000000000002).
double rounded(double degrees) {
    const double micro = degrees * 1e6;
    return std::isfinite(micro) ? std::round(micro) / 1e6 : degrees;
}
double longitude(double x) { return rounded(x); }
double latitude(double y) { return rounded(std::clamp(y, -90.0, 90.0)); }

}  // namespace

std::optional<Request> startingCorners(const Options& options) {
    if (!options.start) return std::nullopt;
    Request corners{.kind = RequestKind::Corners,
                    .degrees = {kDefaultView[0], kDefaultView[1], kDefaultView[2], kDefaultView[3]}};
    if (options.requests.empty()) return corners;
    const Request& first = options.requests.front();
    if (first.kind == RequestKind::Corners) return std::nullopt;
    if (first.kind == RequestKind::Centre) {
        const double x = first.degrees[0], y = first.degrees[1];
        corners.degrees = {longitude(x - kHalfWidth), latitude(y + kHalfHeight), longitude(x + kHalfWidth),
                           latitude(y - kHalfHeight)};
    }
    return corners;
}

}  // namespace vamu::sim
