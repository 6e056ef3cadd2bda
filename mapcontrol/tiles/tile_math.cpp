#include "mapcontrol/tiles/tile_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vamu::tiles {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

std::int32_t clampZoom(std::int32_t zoom) { return std::clamp<std::int32_t>(zoom, 0, kMaxZoom); }

// The pixel a continuous coordinate's bilinear sample starts from.
std::int64_t firstTexel(double coordinate) { return static_cast<std::int64_t>(std::floor(coordinate - 0.5)); }

std::int64_t tileOf(std::int64_t texel) {
    return texel >= 0 ? texel / kTileSize : -((-texel + kTileSize - 1) / kTileSize);
}

bool finite(const WgsFrame& f) {
    return std::isfinite(f.x1) && std::isfinite(f.y1) && std::isfinite(f.x2) && std::isfinite(f.y2);
}

}  // namespace

double worldPixels(std::int32_t zoom) { return std::ldexp(static_cast<double>(kTileSize), clampZoom(zoom)); }

double mercatorX(double longitude, std::int32_t zoom) {
    return (longitude + 180.0) / 360.0 * worldPixels(zoom);
}

double mercatorY(double latitude, std::int32_t zoom) {
    const double lat = std::clamp(latitude, -kMaxMercatorLatitude, kMaxMercatorLatitude) * kDegree;
    const double y = 0.5 - std::log(std::tan(std::numbers::pi / 4.0 + lat / 2.0)) / (2.0 * std::numbers::pi);
    return y * worldPixels(zoom);
}

double longitudeAt(double x, std::int32_t zoom) { return x / worldPixels(zoom) * 360.0 - 180.0; }

double latitudeAt(double y, std::int32_t zoom) {
    const double n = std::numbers::pi * (1.0 - 2.0 * y / worldPixels(zoom));
    return std::atan(std::sinh(n)) / kDegree;
}

double groundResolution(double latitude, std::int32_t zoom) {
    const double lat = std::clamp(latitude, -kMaxMercatorLatitude, kMaxMercatorLatitude) * kDegree;
    return kEquatorMetresPerPixel * std::cos(lat) / std::ldexp(1.0, clampZoom(zoom));
}

std::int32_t chooseZoom(double metresPerPixel, double latitude, std::int32_t minZoom, std::int32_t maxZoom) {
    const std::int32_t low = clampZoom(minZoom);
    const std::int32_t high = std::max(low, clampZoom(maxZoom));
    if (!(metresPerPixel > 0) || !std::isfinite(metresPerPixel) || !std::isfinite(latitude)) return low;
    // Resolutions halve with each zoom: the nearest in log scale is the
    // rounded zoom whose resolution would equal metresPerPixel exactly.
    const double exact = std::log2(groundResolution(latitude, 0) / metresPerPixel);
    if (exact <= low) return low;
    if (exact >= high) return high;
    return static_cast<std::int32_t>(std::lround(exact));
}

FrameAxes frameAxes(const WgsFrame& frame, std::int32_t zoom) {
    FrameAxes axes;
    if (frame.width <= 0 || frame.height <= 0 || !finite(frame)) return axes;
    axes.x.resize(static_cast<std::size_t>(frame.width));
    axes.y.resize(static_cast<std::size_t>(frame.height));
    for (std::int32_t px = 0; px < frame.width; ++px) {
        const double lon = frame.x1 + (frame.x2 - frame.x1) * (px + 0.5) / frame.width;
        axes.x[static_cast<std::size_t>(px)] = mercatorX(lon, zoom);
    }
    const double world = worldPixels(zoom);
    for (std::int32_t py = 0; py < frame.height; ++py) {
        const double lat = frame.y1 + (frame.y2 - frame.y1) * (py + 0.5) / frame.height;
        axes.y[static_cast<std::size_t>(py)] = std::clamp(mercatorY(lat, zoom), 0.5, world - 0.5);
    }
    return axes;
}

TileRange tileRange(const FrameAxes& axes, std::int32_t zoom) {
    TileRange r;
    if (axes.x.empty() || axes.y.empty()) return r;
    const auto [x0, x1] = std::minmax_element(axes.x.begin(), axes.x.end());
    const auto [y0, y1] = std::minmax_element(axes.y.begin(), axes.y.end());
    const std::int64_t lastRow = (std::int64_t{1} << clampZoom(zoom)) - 1;
    r.firstColumn = tileOf(firstTexel(*x0));
    r.lastColumn = tileOf(firstTexel(*x1) + 1);
    r.firstRow = std::clamp<std::int64_t>(tileOf(firstTexel(*y0)), 0, lastRow);
    r.lastRow = std::clamp<std::int64_t>(tileOf(firstTexel(*y1) + 1), 0, lastRow);
    return r;
}

std::int32_t wrapColumn(std::int64_t column, std::int32_t zoom) {
    const std::int64_t n = std::int64_t{1} << clampZoom(zoom);
    return static_cast<std::int32_t>(((column % n) + n) % n);
}

std::vector<TileId> tilesCovering(const WgsFrame& frame, std::int32_t zoom) {
    const TileRange r = tileRange(frameAxes(frame, zoom), zoom);
    std::vector<TileId> tiles;
    if (r.empty()) return tiles;
    const double cx = static_cast<double>(r.firstColumn + r.lastColumn) / 2.0;
    const double cy = static_cast<double>(r.firstRow + r.lastRow) / 2.0;
    std::vector<std::pair<double, TileId>> ranked;
    const std::int64_t n = std::int64_t{1} << clampZoom(zoom);
    const std::int64_t lastColumn = std::min(r.lastColumn, r.firstColumn + n - 1);  // each column once
    for (std::int64_t row = r.firstRow; row <= r.lastRow; ++row) {
        for (std::int64_t col = r.firstColumn; col <= lastColumn; ++col) {
            const TileId id{clampZoom(zoom), wrapColumn(col, zoom), static_cast<std::int32_t>(row)};
            const double dx = static_cast<double>(col) - cx, dy = static_cast<double>(row) - cy;
            ranked.push_back({dx * dx + dy * dy, id});
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [distance, id] : ranked) tiles.push_back(id);
    return tiles;
}

}  // namespace vamu::tiles
