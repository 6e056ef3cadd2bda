#include "mapcontrol/tiles/tile_prefetch.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "contracts/text.h"

namespace vamu::tiles {

namespace {

// The Web Mercator projection ends here.
constexpr double kMaxLatitude = 85.05112877980659;

struct Span {
    std::int32_t first = 0, last = -1;
    std::uint64_t count() const { return last < first ? 0 : static_cast<std::uint64_t>(last - first) + 1; }
};

std::int32_t cell(double fraction, std::int32_t z) {
    const double n = std::ldexp(1.0, z);
    const double v = std::floor(std::clamp(fraction, 0.0, 1.0) * n);
    return static_cast<std::int32_t>(std::min(v, n - 1));
}

double columnFraction(double longitude) { return (longitude + 180.0) / 360.0; }

double rowFraction(double latitude) {
    const double phi = std::clamp(latitude, -kMaxLatitude, kMaxLatitude) * std::numbers::pi / 180.0;
    return (1.0 - std::log(std::tan(phi) + 1.0 / std::cos(phi)) / std::numbers::pi) / 2.0;
}

Span columns(const PrefetchArea& a, std::int32_t z) {
    return {cell(columnFraction(a.west), z), cell(columnFraction(a.east), z)};
}
Span rows(const PrefetchArea& a, std::int32_t z) {
    return {cell(rowFraction(a.north), z), cell(rowFraction(a.south), z)};
}

bool sound(const PrefetchArea& a) {
    const auto finite = [](double v) { return std::isfinite(v); };
    return finite(a.west) && finite(a.east) && finite(a.south) && finite(a.north) && a.west >= -180 &&
           a.east <= 180 && a.south >= -90 && a.north <= 90 && a.west < a.east && a.south < a.north &&
           a.minZoom <= a.maxZoom;
}

}  // namespace

PrefetchPlan planPrefetch(const TileSource& source, PrefetchArea area) {
    PrefetchPlan plan;
    area.minZoom = std::max({area.minZoom, source.minZoom, 0});
    area.maxZoom = std::min({area.maxZoom, source.maxZoom, kMaxZoom});
    plan.area = area;
    if (source.isBuiltIn()) {
        plan.refusal = u"タイル: 内蔵の地図は一括取得の対象ではありません";
        return plan;
    }
    if (!sound(area)) {
        plan.refusal = u"タイル: 一括取得の範囲が正しくありません";
        return plan;
    }
    for (std::int32_t z = area.minZoom; z <= area.maxZoom && plan.tiles <= kMaxPrefetchTiles; ++z) {
        plan.tiles += columns(area, z).count() * rows(area, z).count();
    }
    const std::u16string name = fromUtf8(source.name);
    if (source.bulk == BulkPolicy::Forbidden) {
        plan.refusal = u"タイル: " + name + u" は一括取得を認めていません";
    } else if (source.bulk == BulkPolicy::Limited &&
               plan.tiles > static_cast<std::uint64_t>(source.bulkLimit)) {
        plan.refusal = u"タイル: " + name + u" の一括取得は " + decimalText(source.bulkLimit) +
                       u" 枚までです (" + decimalText(static_cast<std::int64_t>(plan.tiles)) + u" 枚)";
    } else if (plan.tiles > kMaxPrefetchTiles) {
        plan.refusal = u"タイル: 一括取得は " + decimalText(static_cast<std::int64_t>(kMaxPrefetchTiles)) +
                       u" 枚までです";
    }
    return plan;
}

PrefetchTiles::PrefetchTiles(const PrefetchArea& area) : area_(area) {
    if (sound(area_)) startZoom(area_.minZoom);
}

void PrefetchTiles::startZoom(std::int32_t z) {
    z_ = z;
    if (z > area_.maxZoom) {
        x1_ = y1_ = -1;
        return;
    }
    const Span c = columns(area_, z), r = rows(area_, z);
    x0_ = c.first;
    x1_ = c.last;
    y_ = r.first;
    y1_ = r.last;
    x_ = x0_;
}

std::optional<TileId> PrefetchTiles::next() {
    while (z_ <= area_.maxZoom && y1_ >= 0) {
        if (x_ > x1_) {
            x_ = x0_;
            ++y_;
        }
        if (y_ > y1_) {
            startZoom(z_ + 1);
            continue;
        }
        return TileId{z_, x_++, y_};
    }
    return std::nullopt;
}

}  // namespace vamu::tiles
