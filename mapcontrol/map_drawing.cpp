#include "mapcontrol/map_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "mapcontrol/canvas.h"
#include "mapcontrol/glyph_text.h"
#include "mapcontrol/palette.h"

namespace vamu::mapcontrol {

namespace {

// Graticule spacings in msec, from one arc-second to 30 degrees.
constexpr std::int64_t kGraticuleSteps[] = {1000,    2000,    5000,     10000,    20000,    30000,
                                            60000,   120000,  300000,   600000,   1200000,  1800000,
                                            3600000, 7200000, 18000000, 36000000, 54000000, 108000000};
constexpr double kMinLineSpacing = 90.0;  // pixels between graticule lines
constexpr std::int32_t kScaleBarMaxPixels = 100;
constexpr std::int32_t kMargin = 8;
// The rows at the bottom that the scale bar may take: no latitude labels.
constexpr std::int32_t kScaleBarZone = 24;

// Tokyo-datum msec to pixels, with the divisions done once.
class Projection {
public:
    explicit Projection(const View& v)
        : cx_(v.width / 2.0),
          cy_(v.height / 2.0),
          lat_(v.lat),
          lng_(v.lng),
          perEast_(1.0 / msecPerPixelEast(v)),
          perNorth_(1.0 / msecPerPixelNorth(v)) {
        const GeoPoint nw = positionAt(v, -2, -2), se = positionAt(v, v.width + 2, v.height + 2);
        south_ = se.lat, north_ = nw.lat, west_ = nw.lng, east_ = se.lng;
    }
    PixelPoint operator()(MsecPoint p) const {
        return {cx_ + (p.lng - lng_) * perEast_, cy_ - (p.lat - lat_) * perNorth_};
    }
    template <class T>
    bool sees(const T& b) const {
        return b.north >= south_ && b.south <= north_ && b.east >= west_ && b.west <= east_;
    }

private:
    double cx_, cy_, lat_, lng_, perEast_, perNorth_;
    double south_, north_, west_, east_;
};

// The points in pixels, leaving out those within half a pixel of the last
// one kept: at a coarse scale a bin's thousands of points shrink to what
// the picture can show.
void project(const Projection& proj, const Geometry& g, const Polyline& line, PixelPolygon& out) {
    out.clear();
    for (std::uint32_t i = 0; i < line.count; ++i) {
        const PixelPoint p = proj(g.points[line.first + i]);
        if (!out.empty() && i + 1 < line.count && std::fabs(p.x - out.back().x) < 0.5 &&
            std::fabs(p.y - out.back().y) < 0.5) {
            continue;
        }
        out.push_back(p);
    }
}

std::uint32_t fillColour(std::uint8_t level) {
    if (level % 2 == 1) return palette::kLand;
    return level == 0 ? palette::kSea : palette::kLake;
}

void drawShore(Canvas& canvas, const Projection& proj, const Geometry& g, double coastWidth) {
    std::vector<PixelPolygon> polygon(1);
    for (const GeoBin& bin : g.bins) {
        if (!proj.sees(bin)) continue;
        for (const Polyline& ring : bin.rings) {
            if (!proj.sees(ring)) continue;
            project(proj, g, ring, polygon[0]);
            canvas.fillPolygons(polygon, fillColour(ring.level));
        }
    }
    for (const GeoBin& bin : g.bins) {
        if (!proj.sees(bin)) continue;
        for (const Polyline& line : bin.lines) {
            if (!proj.sees(line)) continue;
            project(proj, g, line, polygon[0]);
            canvas.strokePolyline(polygon[0], coastWidth, palette::kCoast);
        }
    }
}

// GSHHG river classes: 0 double-lined rivers, 1 permanent major rivers,
// 2 additional major, 3 additional, 4 minor rivers.
int maxRiverClass(std::int32_t scale) {
    if (scale >= 2500000) return 1;
    if (scale >= 1000000) return 2;
    if (scale >= 500000) return 3;
    return 4;
}

double riverWidth(int riverClass, std::int32_t scale) {
    const double base = scale >= 250000 ? 1.0 : scale >= 50000 ? 1.4 : 2.0;
    if (riverClass == 0) return 0.8;  // the banks of a wide river
    return riverClass <= 2 ? base + 0.6 : riverClass == 3 ? base : base * 0.7;
}

void drawLines(Canvas& canvas, const Projection& proj, const Geometry& g, int maxLevel, std::uint32_t colour,
               double (*width)(int, std::int32_t), std::int32_t scale) {
    PixelPolygon points;
    for (const GeoBin& bin : g.bins) {
        if (!proj.sees(bin)) continue;
        for (const Polyline& line : bin.lines) {
            if (line.level > maxLevel || !proj.sees(line)) continue;
            project(proj, g, line, points);
            canvas.strokePolyline(points, width(line.level, scale), colour);
        }
    }
}

double borderWidth(int, std::int32_t) { return 1.6; }

// "35°40'N", with minutes and seconds only where the step needs them.
std::u32string angleLabel(std::int64_t msec, std::int64_t step, char32_t positive, char32_t negative) {
    const std::int64_t a = msec < 0 ? -msec : msec;
    std::string text = std::to_string(a / 3600000) + "*";
    auto twoDigits = [](std::int64_t v) {  // v is 0 .. 59
        return std::string{static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
    };
    if (step % 3600000 != 0) text += twoDigits(a / 60000 % 60) + "'";
    if (step % 60000 != 0) text += twoDigits(a / 1000 % 60) + "\"";
    std::u32string label(text.begin(), text.end());
    std::replace(label.begin(), label.end(), U'*', U'°');
    label += msec < 0 ? negative : positive;
    return label;
}

std::int64_t graticuleStep(const View& view) {
    for (std::int64_t step : kGraticuleSteps) {
        if (static_cast<double>(step) / msecPerPixelEast(view) >= kMinLineSpacing) return step;
    }
    return 0;  // even the widest spacing is too dense: no graticule
}

// The multiples of step between two positions, as a first and last index.
std::pair<std::int64_t, std::int64_t> multiplesBetween(double a, double b, std::int64_t step) {
    const double s = static_cast<double>(step);
    return {static_cast<std::int64_t>(std::ceil(std::min(a, b) / s)),
            static_cast<std::int64_t>(std::floor(std::max(a, b) / s))};
}

void label(Canvas& canvas, const TextPainter& text, std::int32_t x, std::int32_t y, const std::u32string& s,
           std::vector<PixelBox>& boxes) {
    text.draw(canvas, x, y, s, palette::kText, true);
    boxes.push_back({x - 2, y - 2, x + text.width(s) + 2, y + text.height() + 2});
}

void drawGraticule(Canvas& canvas, const View& view, const TextPainter& text, std::vector<PixelBox>& boxes) {
    const std::int64_t step = graticuleStep(view);
    if (step == 0) return;
    const GeoPoint nw = positionAt(view, 0, 0);
    const GeoPoint se = positionAt(view, view.width, view.height);
    const auto [firstLng, lastLng] = multiplesBetween(nw.lng, se.lng, step);
    const auto [firstLat, lastLat] = multiplesBetween(se.lat, nw.lat, step);
    for (std::int64_t k = firstLng; k <= lastLng; ++k) {
        const std::int32_t x = pixelIndex(pixelX(view, static_cast<double>(k * step)), view.width);
        canvas.fillRect(x, 0, x + 1, view.height, palette::kGraticule);
    }
    for (std::int64_t k = firstLat; k <= lastLat; ++k) {
        const std::int32_t y = pixelIndex(pixelY(view, static_cast<double>(k * step)), view.height);
        canvas.fillRect(0, y, view.width, y + 1, palette::kGraticule);
    }
    for (std::int64_t k = firstLng; k <= lastLng; ++k) {
        const std::int32_t x = pixelIndex(pixelX(view, static_cast<double>(k * step)), view.width);
        label(canvas, text, x + 3, 2, angleLabel(k * step, step, U'E', U'W'), boxes);
    }
    for (std::int64_t k = firstLat; k <= lastLat; ++k) {
        const std::int32_t y = pixelIndex(pixelY(view, static_cast<double>(k * step)), view.height);
        if (y > view.height - kScaleBarZone - text.height()) continue;
        label(canvas, text, 2, y + 3, angleLabel(k * step, step, U'N', U'S'), boxes);
    }
}

// The longest 1, 2 or 5 times a power of ten metres that fits the pixels.
double scaleBarMetres(double metresPerPixel, std::int32_t maxPixels) {
    double best = 0;
    for (double decade = 1; decade <= 1e12; decade *= 10) {
        for (double f : {1.0, 2.0, 5.0}) {
            if (f * decade / metresPerPixel <= maxPixels) best = f * decade;
        }
    }
    return best;
}

void scaleBar(Canvas& canvas, const View& view, const TextPainter& text, std::vector<PixelBox>& boxes) {
    const std::int32_t maxPixels = std::min(kScaleBarMaxPixels, view.width - 2 * kMargin);
    if (maxPixels < 10 || view.height < kScaleBarZone) return;
    const double metres = scaleBarMetres(metresPerPixel(view), maxPixels);
    if (metres == 0) return;
    const auto pixels = static_cast<std::int32_t>(std::lround(metres / metresPerPixel(view)));
    const auto whole = static_cast<std::int64_t>(metres);
    const std::string s = whole >= 1000 ? std::to_string(whole / 1000) + "km" : std::to_string(whole) + "m";
    const std::u32string caption(s.begin(), s.end());
    const std::int32_t x = kMargin;
    const std::int32_t y = view.height - kMargin;
    const PixelBox box{x - 3, y - text.height() - 6, x + std::max(pixels, text.width(caption)) + 3, y + 3};
    canvas.fillRect(box.x0, box.y0, box.x1, box.y1, palette::kLabelBack);
    text.draw(canvas, x, box.y0 + 1, caption, palette::kText, false);
    canvas.fillRect(x, y - 2, x + pixels, y + 1, palette::kScaleBar);
    boxes.push_back(box);
}

void drawAttribution(Canvas& canvas, const View& view, const TextPainter& text,
                     std::vector<PixelBox>& boxes) {
    const std::int32_t w = text.width(kAttribution);
    const std::int32_t x = view.width - w - 4, y = view.height - text.height() - 2;
    if (x < kScaleBarMaxPixels + 2 * kMargin) return;  // no room beside the scale bar
    text.draw(canvas, x, y, kAttribution, palette::kText, true);
    boxes.push_back({x - 2, y - 2, view.width, view.height});
}

void centreMark(Canvas& canvas, const View& view, bool overviewMode, std::vector<PixelBox>& boxes) {
    const std::int32_t x = view.width / 2;
    const std::int32_t y = view.height / 2;
    boxes.push_back({x - 9, y - 7, x + 10, y + 8});
    if (overviewMode) {
        canvas.frameRect(x - 8, y - 6, x + 9, y + 7, palette::kCentreMark);
        canvas.frameRect(x - 7, y - 5, x + 8, y + 6, palette::kCentreMark);
        return;
    }
    canvas.fillRect(x - 6, y, x + 7, y + 1, palette::kCentreMark);
    canvas.fillRect(x, y - 6, x + 1, y + 7, palette::kCentreMark);
}

}  // namespace

PixelBox drawScaleBar(Image& image, const View& view, const MapData* data) {
    Canvas canvas(image);
    const TextPainter small(data && !data->fonts().empty() ? &data->fonts().front() : nullptr);
    std::vector<PixelBox> boxes;
    scaleBar(canvas, view, small, boxes);
    return boxes.empty() ? PixelBox{} : boxes.front();
}

PixelBox drawCentreMark(Image& image, const View& view, bool overviewMode) {
    Canvas canvas(image);
    std::vector<PixelBox> boxes;
    centreMark(canvas, view, overviewMode, boxes);
    return boxes.front();
}

Resolution resolutionFor(std::int32_t scale) {
    if (scale >= 2500000) return Resolution::Low;
    if (scale >= 1000000) return Resolution::Intermediate;
    if (scale >= 250000) return Resolution::High;
    return Resolution::Full;
}

Image drawMap(const View& view, const DrawingOptions& options, DrawingReport* report) {
    Image image(view.width, view.height, palette::kSea);
    Canvas canvas(image);
    DrawingReport local;
    DrawingReport& r = report ? *report : local;
    const MapData* data = options.data;
    const TextPainter small(data && !data->fonts().empty() ? &data->fonts().front() : nullptr);
    if (data) {
        const Projection proj(view);
        r.resolution = resolutionFor(view.scale);
        drawShore(canvas, proj, data->geometry(Layer::Shore, r.resolution),
                  view.scale >= 1000000 ? 0.9 : 1.1);
        drawLines(canvas, proj, data->geometry(Layer::Rivers, r.resolution), maxRiverClass(view.scale),
                  palette::kRiver, riverWidth, view.scale);
        drawLines(canvas, proj, data->geometry(Layer::Borders, r.resolution), 1, palette::kBorder,
                  borderWidth, view.scale);
    }
    if (options.bare) return image;
    drawGraticule(canvas, view, small, r.furniture);
    scaleBar(canvas, view, small, r.furniture);
    if (data) drawAttribution(canvas, view, small, r.furniture);
    centreMark(canvas, view, options.overviewMode, r.furniture);
    if (data) {
        r.places = placeLabels(*data, view, r.furniture);
        drawPlaceLabels(canvas, *data, r.places);
    }
    return image;
}

}  // namespace vamu::mapcontrol
