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

// Edges wholly left or right of the picture only count for the even-odd
// rule: they become vertical edges just outside it, which keeps the number of
// crossings per row and spares the work of long runs outside the picture.
std::vector<Edge> edgesWithin(const std::vector<PixelPolygon>& polygons, double width, double height) {
    std::vector<Edge> edges;
    for (const PixelPolygon& polygon : polygons) {
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            PixelPoint a = polygon[i];
            PixelPoint b = polygon[(i + 1) % polygon.size()];
            if (a.y == b.y || std::isnan(a.x) || std::isnan(b.x)) continue;
            if (a.y > b.y) std::swap(a, b);
            if (b.y <= 0.0 || a.y >= height) continue;
            if (a.x < 0.0 && b.x < 0.0) a.x = b.x = -1.0;
            if (a.x > width && b.x > width) a.x = b.x = width + 1.0;
            edges.push_back({a.y, b.y, a.x, (b.x - a.x) / (b.y - a.y)});
        }
    }
    return edges;
}

std::uint32_t mix(std::uint32_t under, std::uint32_t over, std::uint32_t alpha) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t u = (under >> shift) & 0xFF;
        const std::uint32_t o = (over >> shift) & 0xFF;
        out |= ((u * (255 - alpha) + o * alpha + 127) / 255) << shift;
    }
    return out;
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

void Canvas::blend(std::int32_t x, std::int32_t y, std::uint32_t colour, std::uint32_t alpha) {
    if (alpha == 0 || x < 0 || y < 0 || x >= width() || y >= height()) return;
    std::uint32_t& p = image_.at(x, y);
    p = alpha >= 255 ? colour : mix(p, colour, alpha);
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
    std::vector<Edge> edges = edgesWithin(polygons, width(), height());
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.yTop < b.yTop; });
    std::vector<const Edge*> active;
    std::vector<double> crossings;
    std::size_t next = 0;
    const std::int32_t firstRow =
        edges.empty() ? height() : std::max(0, pixelIndex(edges.front().yTop, height()));
    for (std::int32_t row = firstRow; row < height(); ++row) {
        const double y = row + 0.5;
        while (next < edges.size() && edges[next].yTop <= y) active.push_back(&edges[next++]);
        std::erase_if(active, [y](const Edge* e) { return e->yBottom <= y; });
        if (active.empty() && next == edges.size()) break;
        crossings.clear();
        for (const Edge* e : active) {
            if (y < e->yTop) continue;
            crossings.push_back(e->xAtTop + (y - e->yTop) * e->slope);
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            fillSpan(row, crossings[i], crossings[i + 1], colour);
        }
    }
}

void Canvas::strokeSegment(PixelPoint a, PixelPoint b, double halfWidth, std::uint32_t colour) {
    const double reach = halfWidth + 1.0;
    if (std::max(a.x, b.x) < -reach || std::min(a.x, b.x) > width() + reach || std::max(a.y, b.y) < -reach ||
        std::min(a.y, b.y) > height() + reach) {
        return;
    }
    const std::int32_t x0 = std::max(0, pixelIndex(std::min(a.x, b.x) - reach, width()));
    const std::int32_t x1 = std::min(width() - 1, pixelIndex(std::max(a.x, b.x) + reach, width()));
    const std::int32_t y0 = std::max(0, pixelIndex(std::min(a.y, b.y) - reach, height()));
    const std::int32_t y1 = std::min(height() - 1, pixelIndex(std::max(a.y, b.y) + reach, height()));
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    for (std::int32_t y = y0; y <= y1; ++y) {
        for (std::int32_t x = x0; x <= x1; ++x) {
            const double px = x + 0.5 - a.x, py = y + 0.5 - a.y;
            const double t = length2 > 0 ? std::clamp((px * dx + py * dy) / length2, 0.0, 1.0) : 0.0;
            const double ex = px - t * dx, ey = py - t * dy;
            const double coverage = std::clamp(halfWidth + 0.5 - std::sqrt(ex * ex + ey * ey), 0.0, 1.0);
            if (coverage > 0) blend(x, y, colour, static_cast<std::uint32_t>(coverage * 255.0 + 0.5));
        }
    }
}

void Canvas::strokePolyline(const PixelPolygon& points, double lineWidth, std::uint32_t colour) {
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        strokeSegment(points[i], points[i + 1], lineWidth / 2, colour);
}

void Canvas::fillDisc(double cx, double cy, double radius, std::uint32_t colour) {
    strokeSegment({cx, cy}, {cx, cy}, radius, colour);
}

}  // namespace vamu::mapcontrol
