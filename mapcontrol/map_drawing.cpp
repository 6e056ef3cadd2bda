#include "mapcontrol/map_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "mapcontrol/canvas.h"
#include "mapcontrol/japan_outline.h"
#include "mapcontrol/palette.h"
#include "mapcontrol/tiny_font.h"

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

void drawLand(Canvas& canvas, const View& view) {
    std::vector<PixelPolygon> polygons;
    for (std::span<const DegreePoint> outline : japanOutlines()) {
        PixelPolygon& polygon = polygons.emplace_back();
        for (const DegreePoint& p : outline) {
            polygon.push_back({pixelX(view, p.lng * kMsecPerDegree), pixelY(view, p.lat * kMsecPerDegree)});
        }
    }
    canvas.fillPolygons(polygons, palette::kLand);
}

// "35°40'N", with minutes and seconds only where the step needs them.
std::u16string angleLabel(std::int64_t msec, std::int64_t step, char16_t positive, char16_t negative) {
    const std::int64_t a = msec < 0 ? -msec : msec;
    std::string text = std::to_string(a / 3600000) + "*";
    auto twoDigits = [](std::int64_t v) { return std::string(v < 10 ? 1 : 0, '0') + std::to_string(v); };
    if (step % 3600000 != 0) text += twoDigits(a / 60000 % 60) + "'";
    if (step % 60000 != 0) text += twoDigits(a / 1000 % 60) + "\"";
    std::u16string label(text.begin(), text.end());
    std::replace(label.begin(), label.end(), u'*', u'°');
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

void drawGraticule(Canvas& canvas, const View& view) {
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
        drawLabel(canvas, x + 3, 2, angleLabel(k * step, step, u'E', u'W'), palette::kText,
                  palette::kLabelBack);
    }
    for (std::int64_t k = firstLat; k <= lastLat; ++k) {
        const std::int32_t y = pixelIndex(pixelY(view, static_cast<double>(k * step)), view.height);
        if (y > view.height - kScaleBarZone) continue;
        drawLabel(canvas, 2, y + 3, angleLabel(k * step, step, u'N', u'S'), palette::kText,
                  palette::kLabelBack);
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

void drawScaleBar(Canvas& canvas, const View& view) {
    const std::int32_t maxPixels = std::min(kScaleBarMaxPixels, view.width - 2 * kMargin);
    if (maxPixels < 10 || view.height < kScaleBarZone) return;
    const double metres = scaleBarMetres(metresPerPixel(view), maxPixels);
    if (metres == 0) return;
    const auto pixels = static_cast<std::int32_t>(std::lround(metres / metresPerPixel(view)));
    const auto whole = static_cast<std::int64_t>(metres);
    const std::string text =
        whole >= 1000 ? std::to_string(whole / 1000) + "km" : std::to_string(whole) + "m";
    const std::u16string label(text.begin(), text.end());
    const std::int32_t x = kMargin;
    const std::int32_t y = view.height - kMargin;
    canvas.fillRect(x - 3, y - 12, x + std::max(pixels, textWidth(label)) + 3, y + 3, palette::kLabelBack);
    drawText(canvas, x, y - 10, label, palette::kText);
    canvas.fillRect(x, y - 2, x + pixels, y + 1, palette::kScaleBar);
}

void drawCentreMark(Canvas& canvas, const View& view, bool overviewMode) {
    const std::int32_t x = view.width / 2;
    const std::int32_t y = view.height / 2;
    if (overviewMode) {
        canvas.frameRect(x - 8, y - 6, x + 9, y + 7, palette::kCentreMark);
        canvas.frameRect(x - 7, y - 5, x + 8, y + 6, palette::kCentreMark);
        return;
    }
    canvas.fillRect(x - 6, y, x + 7, y + 1, palette::kCentreMark);
    canvas.fillRect(x, y - 6, x + 1, y + 7, palette::kCentreMark);
}

}  // namespace

Image drawMap(const View& view, const DrawingOptions& options) {
    Image image(view.width, view.height, palette::kSea);
    Canvas canvas(image);
    if (options.land) drawLand(canvas, view);
    drawGraticule(canvas, view);
    drawScaleBar(canvas, view);
    drawCentreMark(canvas, view, options.overviewMode);
    return image;
}

}  // namespace vamu::mapcontrol
