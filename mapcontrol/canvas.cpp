#include "mapcontrol/canvas.h"

#include <algorithm>
#include <cmath>

namespace vamu::mapcontrol {

namespace {

struct Edge {
    double yTop = 0;     // smaller y
    double yBottom = 0;  // larger y, exclusive
    double xAtTop = 0;
    double slope = 0;  // dx per dy
};

std::vector<Edge> edgesWithin(const std::vector<PixelPolygon>& polygons, double height) {
    std::vector<Edge> edges;
    for (const PixelPolygon& polygon : polygons) {
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            PixelPoint a = polygon[i];
            PixelPoint b = polygon[(i + 1) % polygon.size()];
            if (a.y == b.y) continue;
            if (a.y > b.y) std::swap(a, b);
            if (b.y <= 0.0 || a.y >= height) continue;
            edges.push_back({a.y, b.y, a.x, (b.x - a.x) / (b.y - a.y)});
        }
    }
    return edges;
}

}  // namespace

std::int32_t pixelIndex(double coordinate, std::int32_t size) {
    if (!(coordinate >= -1.0)) return -1;  // also a NaN
    if (coordinate >= static_cast<double>(size) + 1.0) return size + 1;
    return static_cast<std::int32_t>(std::floor(coordinate));
}

void Canvas::fillRect(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                      std::uint32_t colour) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width());
    y1 = std::min(y1, height());
    if (x0 >= x1) return;
    for (std::int32_t y = y0; y < y1; ++y) {
        std::uint32_t* row = &image_.at(x0, y);
        std::fill(row, row + (x1 - x0), colour);
    }
}

void Canvas::put(std::int32_t x, std::int32_t y, std::uint32_t colour) {
    if (x >= 0 && y >= 0 && x < width() && y < height()) image_.at(x, y) = colour;
}

void Canvas::frameRect(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                       std::uint32_t colour) {
    fillRect(x0, y0, x1, y0 + 1, colour);
    fillRect(x0, y1 - 1, x1, y1, colour);
    fillRect(x0, y0, x0 + 1, y1, colour);
    fillRect(x1 - 1, y0, x1, y1, colour);
}

void Canvas::fillSpan(std::int32_t row, double from, double to, std::uint32_t colour) {
    // Columns whose centre c + 0.5 lies in [from, to).
    const std::int32_t first = pixelIndex(std::ceil(from - 0.5), width());
    const std::int32_t end = pixelIndex(std::ceil(to - 0.5), width());
    fillRect(first, row, end, row + 1, colour);
}

void Canvas::fillPolygons(const std::vector<PixelPolygon>& polygons, std::uint32_t colour) {
    const std::vector<Edge> edges = edgesWithin(polygons, height());
    std::vector<double> crossings;
    for (std::int32_t row = 0; row < height(); ++row) {
        const double y = row + 0.5;
        crossings.clear();
        for (const Edge& e : edges) {
            if (!(y >= e.yTop && y < e.yBottom)) continue;
            const double x = e.xAtTop + (y - e.yTop) * e.slope;
            if (!std::isnan(x)) crossings.push_back(x);
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            fillSpan(row, crossings[i], crossings[i + 1], colour);
        }
    }
}

}  // namespace vamu::mapcontrol
