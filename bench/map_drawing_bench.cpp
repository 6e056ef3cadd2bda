// The built-in map control's drawing: one 1024 x 768 picture at each of the
// 13 layers, centred on Tokyo, Osaka and a point in the Pacific, and the
// first-use decoding of the map data set with the memory it takes.

#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <string>

#include "mapcontrol/map_data.h"
#include "mapcontrol/map_drawing.h"

namespace {

using namespace vamu::mapcontrol;

constexpr std::int32_t kScales[] = {5000000, 2500000, 1000000, 500000, 250000, 100000, 50000,
                                    25000,   10000,   5000,    2500,   1000,   500};

struct Centre {
    const char* name;
    double lat, lng;  // Tokyo datum, degrees
};
constexpr Centre kCentres[] = {{"Tokyo", 35.678, 139.770}, {"Osaka", 34.684, 135.529}, {"sea", 33.5, 141.0}};

// Resident memory of the process in bytes, from /proc.
double residentBytes() {
    std::ifstream statm("/proc/self/statm");
    double pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096.0;
}

void BM_MapDataLoad(benchmark::State& state) {
    const auto bytes = builtInMapDataBytes();
    std::size_t held = 0;
    double grown = 0;
    const bool everything = state.range(0) != 0;
    for (auto _ : state) {
        const double before = residentBytes();
        MapDataLoad load = loadMapData(bytes, true);
        if (!load.data) {
            state.SkipWithError(load.error.c_str());
            break;
        }
        for (std::size_t r = 0; everything && r < kResolutionCount; ++r) {
            for (Layer layer : {Layer::Shore, Layer::Rivers, Layer::Borders}) {
                benchmark::DoNotOptimize(load.data->geometry(layer, static_cast<Resolution>(r)));
            }
        }
        grown = residentBytes() - before;
        held = load.data->bytes();
        benchmark::DoNotOptimize(load);
    }
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
    state.counters["held_MB"] = static_cast<double>(held) / 1e6;
    state.counters["rss_growth_MB"] = grown / 1e6;
}
// 0: what the first picture waits for before it decodes its own resolution;
// 1: every resolution decoded as well.
BENCHMARK(BM_MapDataLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The first picture at a layer: opening the set and decoding that layer's
// resolution, then drawing.
void BM_FirstPicture(benchmark::State& state) {
    const std::int32_t scale = kScales[state.range(0)];
    const View view{128441000, 503173000, scale, 1024, 768};
    for (auto _ : state) {
        MapDataLoad load = loadMapData(builtInMapDataBytes(), true);
        benchmark::DoNotOptimize(drawMap(view, {load.data.get(), false}));
    }
    state.SetLabel("Tokyo 1:" + std::to_string(scale));
}
BENCHMARK(BM_FirstPicture)->DenseRange(0, 12, 4)->Unit(benchmark::kMillisecond);

void BM_DrawMap(benchmark::State& state) {
    const Centre& c = kCentres[state.range(0)];
    const std::int32_t scale = kScales[state.range(1)];
    const MapData* data = builtInMapData().data.get();
    if (!data) {
        state.SkipWithError("no map data");
        return;
    }
    const View view{static_cast<std::int32_t>(std::lround(c.lat * 3600000.0)),
                    static_cast<std::int32_t>(std::lround(c.lng * 3600000.0)), scale, 1024, 768};
    for (auto _ : state) benchmark::DoNotOptimize(drawMap(view, {data, false}));
    state.SetLabel(std::string(c.name) + " 1:" + std::to_string(scale));
}
BENCHMARK(BM_DrawMap)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
