#pragma once
// Clipped drawing into an Image: every primitive accepts coordinates far
// outside the picture and draws only the part that falls inside.

#include <cstdint>
#include <vector>

#include "contracts/picture.h"

namespace vamu::mapcontrol {

struct PixelPoint {
    double x = 0;
    double y = 0;
};

using PixelPolygon = std::vector<PixelPoint>;

// A coordinate in pixels as a column or row index: the pixel that contains
// it, clamped to a range just outside the picture so that no cast overflows.
std::int32_t pixelIndex(double coordinate, std::int32_t size);

class Canvas {
public:
    explicit Canvas(Image& image) : image_(image) {}

    std::int32_t width() const { return image_.width; }
    std::int32_t height() const { return image_.height; }

    // The rectangle of columns x0 .. x1 - 1 and rows y0 .. y1 - 1.
    void fillRect(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::uint32_t colour);
    void put(std::int32_t x, std::int32_t y, std::uint32_t colour);
    // Mixes colour into the pixel by alpha (0 .. 255).
    void blend(std::int32_t x, std::int32_t y, std::uint32_t colour, std::uint32_t alpha);
    void frameRect(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::uint32_t colour);
    // Fills polygons by the even-odd rule, one scanline at a time, sampling
    // at pixel centres.
    void fillPolygons(const std::vector<PixelPolygon>& polygons, std::uint32_t colour);
    // An anti-aliased line of the given width through the points.
    void strokePolyline(const PixelPolygon& points, double lineWidth, std::uint32_t colour);
    void fillDisc(double cx, double cy, double radius, std::uint32_t colour);

private:
    void fillSpan(std::int32_t row, double from, double to, std::uint32_t colour);
    void strokeSegment(PixelPoint a, PixelPoint b, double halfWidth, std::uint32_t colour);

    Image& image_;
};

}  // namespace vamu::mapcontrol
