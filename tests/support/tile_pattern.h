#pragma once
// The tile tests' pattern (as the loopback tile server draws it) and the
// check that a picture shows its dots where the host puts them by the
// reported corners.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <set>
#include <utility>
#include <vector>

#include "contracts/picture.h"
#include "mapcontrol/tiles/tile_id.h"
#include "mapcontrol/tiles/tile_math.h"

namespace vamu::testing {

inline constexpr double kPi = std::numbers::pi;

// The shared test pattern: white, with a 4 x 4 black dot centred on every
// global pixel (64k + 32, 64m + 32).
inline Image patternTile(tiles::TileId id) {
    Image t(256, 256, 0xFFFFFF);
    for (std::int32_t py = 0; py < 256; ++py) {
        for (std::int32_t px = 0; px < 256; ++px) {
            const std::int64_t gx = std::int64_t{id.x} * 256 + px, gy = std::int64_t{id.y} * 256 + py;
            if (gx % 64 >= 30 && gx % 64 <= 33 && gy % 64 >= 30 && gy % 64 <= 33) t.at(px, py) = 0;
        }
    }
    return t;
}

// Web Mercator, written out here on its own.
inline double worldAt(std::int32_t z) { return 256.0 * std::pow(2.0, z); }
inline double lonToX(double lon, std::int32_t z) { return (lon + 180.0) / 360.0 * worldAt(z); }
inline double xToLon(double x, std::int32_t z) { return x / worldAt(z) * 360.0 - 180.0; }
inline double latToY(double lat, std::int32_t z) {
    const double s = std::sin(lat * kPi / 180.0);
    return (0.5 - std::log((1 + s) / (1 - s)) / (4 * kPi)) * worldAt(z);
}
inline double yToLat(double y, std::int32_t z) {
    return std::atan(std::sinh(kPi * (1 - 2 * y / worldAt(z)))) * 180.0 / kPi;
}

struct Dot {
    double x = 0, y = 0;  // centroid, pixel i spanning [i, i + 1)
};

// The centroids of the dark blobs wholly inside the picture, weighted by
// darkness.
inline std::vector<Dot> findDots(const Image& image) {
    std::vector<std::uint8_t> seen(image.pixels.size(), 0);
    std::vector<Dot> dots;
    auto dark = [&](std::int32_t x, std::int32_t y) { return 255 - static_cast<int>(image.at(x, y) & 0xFF); };
    for (std::int32_t y0 = 0; y0 < image.height; ++y0) {
        for (std::int32_t x0 = 0; x0 < image.width; ++x0) {
            if (seen[static_cast<std::size_t>(y0 * image.width + x0)] || dark(x0, y0) == 0) continue;
            double w = 0, sx = 0, sy = 0;
            bool edge = false;
            std::vector<std::pair<std::int32_t, std::int32_t>> stack{{x0, y0}};
            seen[static_cast<std::size_t>(y0 * image.width + x0)] = 1;
            while (!stack.empty()) {
                const auto [x, y] = stack.back();
                stack.pop_back();
                const double d = dark(x, y);
                w += d, sx += d * (x + 0.5), sy += d * (y + 0.5);
                edge |= x == 0 || y == 0 || x == image.width - 1 || y == image.height - 1;
                for (const auto& [nx, ny] : {std::pair{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}}) {
                    if (nx < 0 || ny < 0 || nx >= image.width || ny >= image.height) continue;
                    auto& s = seen[static_cast<std::size_t>(ny * image.width + nx)];
                    if (s || dark(nx, ny) == 0) continue;
                    s = 1;
                    stack.push_back({nx, ny});
                }
            }
            if (!edge) dots.push_back({sx / w, sy / w});
        }
    }
    return dots;
}

// Every dot of the pattern at dotZoom that the host's linear interpolation
// puts well inside the picture is found within a pixel of that place, and
// nothing else is found.
// Pixels for which ignored() holds (an overlay drawn over the tiles) are
// neither searched nor expected to show a dot.
inline void expectDotsWhereTheHostPutsThem(const Image& image, const tiles::WgsFrame& f, std::int32_t dotZoom,
                                           double margin,
                                           const std::function<bool(double x, double y)>& ignored = {}) {
    auto pixelOf = [&](double gx, double gy) {
        return Dot{(xToLon(gx, dotZoom) - f.x1) / (f.x2 - f.x1) * f.width,
                   (yToLat(gy, dotZoom) - f.y1) / (f.y2 - f.y1) * f.height};
    };
    std::set<std::pair<std::int64_t, std::int64_t>> matched;
    for (const Dot& d : findDots(image)) {
        if (ignored && ignored(d.x, d.y)) continue;
        const double gx = lonToX(f.x1 + (f.x2 - f.x1) * d.x / f.width, dotZoom);
        const double gy = latToY(f.y1 + (f.y2 - f.y1) * d.y / f.height, dotZoom);
        const auto k = std::llround((gx - 32) / 64), m = std::llround((gy - 32) / 64);
        const Dot want = pixelOf(64.0 * static_cast<double>(k) + 32, 64.0 * static_cast<double>(m) + 32);
        EXPECT_NEAR(d.x, want.x, 1.0) << "dot at " << d.x << "," << d.y;
        EXPECT_NEAR(d.y, want.y, 1.0) << "dot at " << d.x << "," << d.y;
        matched.insert({k, m});
    }
    std::int32_t expected = 0;
    const auto k0 = std::llround((lonToX(f.x1, dotZoom) - 32) / 64),
               k1 = std::llround((lonToX(f.x2, dotZoom) - 32) / 64);
    const auto m0 = std::llround((latToY(f.y1, dotZoom) - 32) / 64),
               m1 = std::llround((latToY(f.y2, dotZoom) - 32) / 64);
    for (auto k = k0; k <= k1; ++k) {
        for (auto m = m0; m <= m1; ++m) {
            const Dot p = pixelOf(64.0 * static_cast<double>(k) + 32, 64.0 * static_cast<double>(m) + 32);
            if (p.x < margin || p.y < margin || p.x > f.width - margin || p.y > f.height - margin) continue;
            if (ignored && ignored(p.x, p.y)) continue;
            ++expected;
            EXPECT_TRUE(matched.count({k, m})) << "no dot near " << p.x << "," << p.y;
        }
    }
    EXPECT_GE(expected, 2);
}

}  // namespace vamu::testing
