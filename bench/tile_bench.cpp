// Composing a tile picture from decoded tiles in memory: the resampling that
// runs on every redraw of a tile map.

#include <benchmark/benchmark.h>

#include <map>

#include "mapcontrol/tiles/tile_compose.h"
#include "mapcontrol/tiles/tile_frame.h"
#include "mapcontrol/tiles/tile_map.h"

namespace {

using vamu::Image;
using vamu::tiles::TileId;

struct MemoryTiles : vamu::tiles::TileLookup {
    std::map<TileId, std::shared_ptr<const Image>> tiles;
    std::shared_ptr<const Image> tile(TileId id) override {
        auto& t = tiles[id];
        if (!t) {
            auto image = std::make_shared<Image>(256, 256);
            for (std::size_t i = 0; i < image->pixels.size(); ++i) {
                image->pixels[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFFu;
            }
            t = image;
        }
        return t;
    }
};

// 1024 x 768 around Tokyo Station at 1/25,000, every tile at hand.
void BM_ComposeTiles1024x768(benchmark::State& state) {
    const vamu::mapcontrol::View view{128441000, 503173000, 25000, 1024, 768};
    const vamu::tiles::WgsFrame frame = vamu::tiles::frameOf(view);
    const std::int32_t zoom = vamu::tiles::tileZoomFor(view, 0, 18);
    MemoryTiles lookup;
    std::vector<TileId> missing;
    for (const TileId& id : vamu::tiles::tilesCovering(frame, zoom)) lookup.tile(id);
    for (auto _ : state) {
        Image image = vamu::tiles::composeTiles(frame, zoom, lookup, missing, {});
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * 1024 * 768);
}
BENCHMARK(BM_ComposeTiles1024x768)->Unit(benchmark::kMillisecond);

// The same with the overlays, as the host gets it.
void BM_DrawTileMap1024x768(benchmark::State& state) {
    const vamu::mapcontrol::View view{128441000, 503173000, 25000, 1024, 768};
    const std::int32_t zoom = vamu::tiles::tileZoomFor(view, 0, 18);
    MemoryTiles lookup;
    std::vector<TileId> missing;
    for (auto _ : state) {
        Image image = vamu::tiles::drawTileMap(view, {zoom, U"© OpenStreetMap contributors", false, nullptr},
                                               lookup, missing, {});
        benchmark::DoNotOptimize(image.pixels.data());
    }
}
BENCHMARK(BM_DrawTileMap1024x768)->Unit(benchmark::kMillisecond);

}  // namespace
