// Cost of the coordinate conversions per point, over a fixed set of points
// across Japan; with PROJ available, the same points through PROJ's own
// Tokyo ↔ WGS84 transformation for comparison.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/conversions.h"

#ifdef VAMU_HAVE_PROJ
#include <proj.h>
#endif

namespace {

struct Point {
    double lat, lng;
};

constexpr std::size_t kPoints = 256;  // a power of two: the index wraps with a mask

// A 16 × 16 grid from Yaeyama (24° N, 123° E) to Wakkanai (45.5° N, 146° E).
const std::array<Point, kPoints>& points() {
    static const auto grid = [] {
        std::array<Point, kPoints> g{};
        for (std::size_t i = 0; i < kPoints; ++i) {
            g[i] = {24.0 + 21.5 * static_cast<double>(i / 16) / 15.0 + 0.000123 * static_cast<double>(i),
                    123.0 + 23.0 * static_cast<double>(i % 16) / 15.0 + 0.000321 * static_cast<double>(i)};
        }
        return g;
    }();
    return grid;
}

struct MsecPoint {
    std::int32_t lat, lng;
};

const std::array<MsecPoint, kPoints>& msecPoints() {
    static const auto msec = [] {
        std::array<MsecPoint, kPoints> m{};
        for (std::size_t i = 0; i < kPoints; ++i) {
            m[i] = {vamu::DegToMsec(points()[i].lat), vamu::DegToMsec(points()[i].lng)};
        }
        return m;
    }();
    return msec;
}

// One step per iteration, on the points in turn.
template <class Points, class Step>
void overPoints(benchmark::State& state, const Points& pts, Step step) {
    std::size_t i = 0;
    for (auto _ : state) {
        step(pts[i]);
        i = (i + 1) & (kPoints - 1);
    }
}

// A datum shift, one direction or the other.
void BM_Shift(benchmark::State& state, void (*shift)(const double&, const double&, double&, double&)) {
    overPoints(state, points(), [shift](const Point& p) {
        double lat = 0, lng = 0;
        shift(p.lat, p.lng, lat, lng);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lng);
    });
}
BENCHMARK_CAPTURE(BM_Shift, WGS84ToTokyo, vamu::WGS84ToTokyo);
BENCHMARK_CAPTURE(BM_Shift, TokyoToWGS84, vamu::TokyoToWGS84);

void BM_DegToMsec(benchmark::State& state) {
    overPoints(state, points(), [](const Point& p) { benchmark::DoNotOptimize(vamu::DegToMsec(p.lng)); });
}
BENCHMARK(BM_DegToMsec);

void BM_MsecToDeg(benchmark::State& state) {
    overPoints(state, msecPoints(),
               [](const MsecPoint& p) { benchmark::DoNotOptimize(vamu::MsecToDeg(p.lng)); });
}
BENCHMARK(BM_MsecToDeg);

// What one request and one reported corner cost: WGS84 → Tokyo → msec for a
// centre, msec → degrees → WGS84 for the way back.
void BM_ChainToMsecAndBack(benchmark::State& state) {
    overPoints(state, points(), [](const Point& p) {
        double tlat = 0, tlng = 0, wlat = 0, wlng = 0;
        vamu::WGS84ToTokyo(p.lat, p.lng, tlat, tlng);
        const std::int32_t mlat = vamu::DegToMsec(tlat);
        const std::int32_t mlng = vamu::DegToMsec(tlng);
        const double dlat = vamu::MsecToDeg(mlat);
        const double dlng = vamu::MsecToDeg(mlng);
        vamu::TokyoToWGS84(dlat, dlng, wlat, wlng);
        benchmark::DoNotOptimize(wlat);
        benchmark::DoNotOptimize(wlng);
    });
}
BENCHMARK(BM_ChainToMsecAndBack);

#ifdef VAMU_HAVE_PROJ

struct ContextDeleter {
    void operator()(PJ_CONTEXT* c) const { proj_context_destroy(c); }
};
struct TransformDeleter {
    void operator()(PJ* p) const { proj_destroy(p); }
};

// Tokyo (EPSG:4301) to WGS84 (EPSG:4326); both in latitude, longitude order.
struct ProjTransform {
    std::unique_ptr<PJ_CONTEXT, ContextDeleter> context{proj_context_create()};
    std::unique_ptr<PJ, TransformDeleter> transform{
        proj_create_crs_to_crs(context.get(), "EPSG:4301", "EPSG:4326", nullptr)};
};

// How far the affine shift lands from PROJ's transformation over the grid,
// in metres (one degree of latitude taken as 111 km, of longitude scaled by
// the cosine of the latitude).
double largestDifferenceMetres(PJ* transform, PJ_DIRECTION direction) {
    double largest = 0;
    for (const Point& p : points()) {
        const PJ_COORD c = proj_trans(transform, direction, proj_coord(p.lat, p.lng, 0, 0));
        double lat = 0, lng = 0;
        (direction == PJ_FWD ? vamu::TokyoToWGS84 : vamu::WGS84ToTokyo)(p.lat, p.lng, lat, lng);
        const double dy = (lat - c.v[0]) * 111000.0;
        const double dx = (lng - c.v[1]) * 111000.0 * std::cos(p.lat * 3.141592653589793 / 180.0);
        largest = std::fmax(largest, std::hypot(dx, dy));
    }
    return largest;
}

// False, with the benchmark skipped, where PROJ cannot make the transformation.
bool usable(benchmark::State& state, const ProjTransform& proj) {
    if (!proj.transform) state.SkipWithError("PROJ cannot build the Tokyo to WGS84 transformation");
    return proj.transform != nullptr;
}

void BM_Proj(benchmark::State& state, PJ_DIRECTION direction) {
    ProjTransform proj;
    if (!usable(state, proj)) return;
    state.counters["max_diff_m"] = largestDifferenceMetres(proj.transform.get(), direction);
    overPoints(state, points(), [&](const Point& p) {
        PJ_COORD c = proj_trans(proj.transform.get(), direction, proj_coord(p.lat, p.lng, 0, 0));
        benchmark::DoNotOptimize(c);
    });
}
BENCHMARK_CAPTURE(BM_Proj, TokyoToWGS84, PJ_FWD);
BENCHMARK_CAPTURE(BM_Proj, WGS84ToTokyo, PJ_INV);

// PROJ's counterpart of the chain: WGS84 → Tokyo and back, the unit change
// included for a like-for-like count of steps.
void BM_ProjChainToMsecAndBack(benchmark::State& state) {
    ProjTransform proj;
    if (!usable(state, proj)) return;
    const auto& pts = points();
    std::size_t i = 0;
    for (auto _ : state) {
        const PJ_COORD t = proj_trans(proj.transform.get(), PJ_INV, proj_coord(pts[i].lat, pts[i].lng, 0, 0));
        if (t.v[0] == HUGE_VAL) {
            state.SkipWithError("PROJ failed on a point");
            return;
        }
        const double dlat = vamu::MsecToDeg(vamu::DegToMsec(t.v[0]));
        const double dlng = vamu::MsecToDeg(vamu::DegToMsec(t.v[1]));
        PJ_COORD w = proj_trans(proj.transform.get(), PJ_FWD, proj_coord(dlat, dlng, 0, 0));
        benchmark::DoNotOptimize(w);
        i = (i + 1) & (kPoints - 1);
    }
}
BENCHMARK(BM_ProjChainToMsecAndBack);

#endif

}  // namespace
