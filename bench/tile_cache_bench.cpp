// The tile cache on disk: a hit (read, check, touch), a store (one atomic
// replacement) with a typical 20 KB PNG tile, the first write of a cache of
// many tiles (its index made from the listing), and a decoded tile found in
// memory.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "mapcontrol/tiles/tile_cache.h"
#include "native/cache_files.h"

namespace {

using namespace vamu;
using namespace vamu::tiles;

constexpr char kSource[] = "https://tiles.example/{z}/{x}/{y}.png";

struct ScratchCache {
    ScratchCache() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vamu-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        root = pattern;
    }
    ~ScratchCache() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    std::filesystem::path root;
};

const TileMeta kMeta{200, 1000, 5000, "\"0123456789abcdef\"", "Sun, 06 Nov 1994 08:49:37 GMT"};

void BM_TileCacheHit(benchmark::State& state) {
    ScratchCache scratch;
    native::DiskCacheFiles files(scratch.root);
    TileCache cache(&files, kDefaultCacheLimit, {});
    cache.store(kSource, {14, 14552, 6451}, kMeta, std::vector<std::uint8_t>(20000, 7));
    for (auto _ : state) benchmark::DoNotOptimize(cache.read(kSource, {14, 14552, 6451}));
}
BENCHMARK(BM_TileCacheHit);

void BM_TileCacheStore(benchmark::State& state) {
    ScratchCache scratch;
    native::DiskCacheFiles files(scratch.root);
    TileCache cache(&files, kDefaultCacheLimit, {});
    const std::vector<std::uint8_t> body(20000, 7);
    std::int32_t x = 0;
    for (auto _ : state) cache.store(kSource, {14, 14000 + (x++ % 256), 6451}, kMeta, body);
}
BENCHMARK(BM_TileCacheStore);

void BM_TileCacheIndexOfManyTiles(benchmark::State& state) {
    ScratchCache scratch;
    native::DiskCacheFiles files(scratch.root);
    {
        TileCache cache(&files, kDefaultCacheLimit, {});
        for (std::int32_t i = 0; i < state.range(0); ++i) {
            cache.store(kSource, {14, 14000 + i % 100, 6000 + i / 100}, kMeta,
                        std::vector<std::uint8_t>(100, 1));
        }
    }
    for (auto _ : state) {
        TileCache cache(&files, kDefaultCacheLimit, {});
        cache.store(kSource, {14, 0, 0}, kMeta, std::vector<std::uint8_t>(100, 1));
    }
}
BENCHMARK(BM_TileCacheIndexOfManyTiles)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_DecodedTileFound(benchmark::State& state) {
    DecodedTiles tiles;
    for (std::int32_t x = 0; x < 200; ++x)
        tiles.put(kSource, {14, x, 0}, std::make_shared<const Image>(256, 256));
    std::int32_t x = 0;
    for (auto _ : state) benchmark::DoNotOptimize(tiles.find(kSource, {14, x++ % 200, 0}));
}
BENCHMARK(BM_DecodedTileFound);

}  // namespace
