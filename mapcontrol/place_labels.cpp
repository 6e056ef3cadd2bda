#include "mapcontrol/place_labels.h"

#include <algorithm>
#include <cmath>

#include "mapcontrol/glyph_text.h"
#include "mapcontrol/palette.h"

namespace vamu::mapcontrol {

namespace {

constexpr std::size_t kMaxLabels = 80;
constexpr double kDotRadius = 2.5;
constexpr std::int32_t kGap = 3;             // between dot and text
constexpr double kSameNameDistance = 200.0;  // pixels

bool largerFirst(const Place* a, const Place* b) {
    if (a->kind != b->kind && (a->kind == 2 || b->kind == 2)) return a->kind > b->kind;
    return a->population > b->population;
}

std::size_t fontFor(const Place& p, std::size_t fonts) {
    return fonts > 1 && (p.kind == 2 || p.population >= 1000000) ? 1 : 0;
}

// GeoNames holds some towns twice (the town and its seat): one name is
// enough nearby.
bool named(const std::vector<PlacedLabel>& placed, const Place& p, double x, double y) {
    return std::any_of(placed.begin(), placed.end(), [&](const PlacedLabel& l) {
        return l.place->name == p.name && std::hypot(l.dotX - x, l.dotY - y) < kSameNameDistance;
    });
}

bool fits(const PixelBox& box, const View& view, const std::vector<PixelBox>& taken) {
    if (box.x0 < 0 || box.y0 < 0 || box.x1 > view.width || box.y1 > view.height) return false;
    return std::none_of(taken.begin(), taken.end(), [&](const PixelBox& t) { return t.overlaps(box); });
}

}  // namespace

std::uint32_t minimumPopulation(std::int32_t scale) {
    if (scale >= 5000000) return 400000;
    if (scale >= 2500000) return 200000;
    if (scale >= 1000000) return 80000;
    if (scale >= 500000) return 30000;
    if (scale >= 250000) return 10000;
    return 0;
}

std::vector<PlacedLabel> placeLabels(const MapData& data, const View& view,
                                     const std::vector<PixelBox>& taken) {
    std::vector<PlacedLabel> placed;
    if (data.fonts().empty()) return placed;
    const std::uint32_t minimum = minimumPopulation(view.scale);
    std::vector<const Place*> candidates;
    for (const Place& p : data.places()) {
        if (p.population < minimum && p.kind != 2) continue;
        const double x = pixelX(view, p.at.lng), y = pixelY(view, p.at.lat);
        if (x < 0 || y < 0 || x >= view.width || y >= view.height) continue;
        candidates.push_back(&p);
    }
    std::sort(candidates.begin(), candidates.end(), largerFirst);
    std::vector<PixelBox> blocked = taken;
    for (const Place* p : candidates) {
        if (placed.size() >= kMaxLabels) break;
        const double x = pixelX(view, p->at.lng), y = pixelY(view, p->at.lat);
        const std::size_t font = fontFor(*p, data.fonts().size());
        const TextPainter text(&data.fonts()[font]);
        const std::int32_t w = text.width(p->name) + 2, h = text.height() + 2;
        const auto ix = static_cast<std::int32_t>(std::lround(x)),
                   iy = static_cast<std::int32_t>(std::lround(y));
        const PixelBox dot{ix - 3, iy - 3, ix + 4, iy + 4};
        const PixelBox options[] = {
            {ix + kGap + 1, iy - h / 2, ix + kGap + 1 + w, iy - h / 2 + h},  // right
            {ix - kGap - w, iy - h / 2, ix - kGap, iy - h / 2 + h},          // left
            {ix - w / 2, iy - kGap - h, ix - w / 2 + w, iy - kGap},          // above
            {ix - w / 2, iy + kGap + 1, ix - w / 2 + w, iy + kGap + 1 + h},  // below
        };
        if (named(placed, *p, x, y) || !fits(dot, view, blocked)) continue;
        for (const PixelBox& box : options) {
            if (!fits(box, view, blocked)) continue;
            placed.push_back({p, x, y, font, box});
            blocked.push_back(box);
            blocked.push_back(dot);
            break;
        }
    }
    return placed;
}

void drawPlaceLabels(Canvas& canvas, const MapData& data, const std::vector<PlacedLabel>& labels) {
    for (const PlacedLabel& l : labels) {
        canvas.fillDisc(l.dotX, l.dotY, kDotRadius + 1.0, palette::kLabelBack);
        canvas.fillDisc(l.dotX, l.dotY, l.place->kind == 2 ? kDotRadius + 0.5 : kDotRadius,
                        palette::kPlaceDot);
        const TextPainter text(&data.fonts()[l.font]);
        text.draw(canvas, l.box.x0 + 1, l.box.y0 + 1, l.place->name, palette::kText, true);
    }
}

}  // namespace vamu::mapcontrol
