// Tile pictures: composing one from decoded tiles in memory (the resampling
// of every redraw), one from the disk cache with every tile decoded, a whole
// request with every tile cached next to the same request on the built-in
// map, and the memory held after many requests over changing views.

#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "engine/module.h"
#include "mapcontrol/map_data.h"
#include "mapcontrol/tiles/tile_cache.h"
#include "mapcontrol/tiles/tile_compose.h"
#include "mapcontrol/tiles/tile_frame.h"
#include "mapcontrol/tiles/tile_map.h"
#include "mapcontrol/tiles/tile_math.h"
#include "native/atomic_file.h"
#include "native/cache_files.h"
#include "native/native_platform.h"
#include "native/native_tiles.h"
#include "native/png_writer.h"
#include "native/substitute_events.h"
#include "native/substitute_host.h"
#include "panel/form1.h"
#include "server/cls_map_serv.h"

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

namespace fs = std::filesystem;
using namespace vamu;

constexpr char kUrl[] = "https://tiles.example/{z}/{x}/{y}.png";

fs::path scratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "vamu-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

// A user whose settings name a tile server of their own and whose disk cache
// holds its tiles (a 4 KB PNG of dots each, fresh for a year); NativeTiles
// over them as vamu-host builds them, offline.
struct CachedTileUser {
    CachedTileUser() {
        const std::string settings =
            std::string("[tiles]\nsource=bench\n[source bench]\nurl=") + kUrl + "\nmin_zoom=0\nmax_zoom=19\n";
        native::replaceFileAtomically(
            folder / "vamuMapserver.ini",
            std::span(reinterpret_cast<const std::uint8_t*>(settings.data()), settings.size()));
        Image tile(256, 256, 0xFFFFFF);
        for (std::int32_t y = 0; y < 256; ++y) {
            for (std::int32_t x = 0; x < 256; ++x) {
                if (x % 64 >= 30 && x % 64 <= 33 && y % 64 >= 30 && y % 64 <= 33) tile.at(x, y) = 0x203040;
            }
        }
        if (!native::writePng(tile, folder / "tile.png")) throw std::runtime_error("no PNG support");
        png = native::readWholeFile(folder / "tile.png");
    }
    ~CachedTileUser() { fs::remove_all(folder); }

    // Every tile of the zooms given over a WGS84 rectangle.
    void fill(const tiles::WgsFrame& area, std::int32_t firstZoom, std::int32_t lastZoom) const {
        native::DiskCacheFiles files(folder / "cache");
        tiles::TileCache cache(&files, tiles::kDefaultCacheLimit, {});
        const std::int64_t now = native::SystemTileClock().unixSeconds();
        for (std::int32_t z = firstZoom; z <= lastZoom; ++z) {
            for (const tiles::TileId& id : tiles::tilesCovering(area, z))
                cache.store(kUrl, id, {200, now, now + 365 * 86400, "\"bench\"", ""}, png);
        }
    }
    std::unique_ptr<native::NativeTiles> open(const char* source) const {
        native::NativeTileOptions options;
        options.session.source = source;
        options.session.offline = true;
        options.cacheFolder = folder / "cache";
        options.settingsFile = folder / "vamuMapserver.ini";
        return std::make_unique<native::NativeTiles>(std::move(options));
    }

    fs::path folder = scratchFolder();
    std::vector<std::uint8_t> png;
};

// A rectangle around a view's frame, grown by half its size on every side.
tiles::WgsFrame around(const mapcontrol::View& view) {
    tiles::WgsFrame f = tiles::frameOf(view);
    const double w = (f.x2 - f.x1) / 2, h = (f.y1 - f.y2) / 2;
    return {f.x1 - w, f.y1 + h, f.x2 + w, f.y2 - h, f.width * 2, f.height * 2};
}

// 1024 x 768 from the disk cache alone: every tile read, checked and decoded
// (a new service for each picture, so that none is decoded yet).
void BM_TilePictureFromDiskCache1024x768(benchmark::State& state) {
    const mapcontrol::View view{128441000, 503173000, 25000, 1024, 768};
    CachedTileUser user;
    const std::int32_t zoom = tiles::tileZoomFor(view, 0, 19);
    user.fill(around(view), zoom, zoom);
    const mapcontrol::MapData* data = mapcontrol::builtInMapData().data.get();
    std::size_t decoded = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto tiles = user.open("bench");
        state.ResumeTiming();
        auto picture = tiles->service().draw(view, data);
        benchmark::DoNotOptimize(picture);
        state.PauseTiming();
        decoded = tiles->service().decodedBytes();
        tiles.reset();
        state.ResumeTiming();
    }
    state.counters["tiles"] = static_cast<double>(decoded / (256 * 256 * 4));
}
BENCHMARK(BM_TilePictureFromDiskCache1024x768)->Unit(benchmark::kMillisecond);

// The plug-in as vamu-host runs it, with the tiles of a source; one request
// is a DrawMapFromCentre, published as a bitmap.
struct TilePlugin {
    TilePlugin(const CachedTileUser& user, const char* source)
        : folder(scratchFolder()),
          platform(native::NativeOptions{folder, true}),
          tiles(user.open(source)),
          module(platform.services(), makeForm1),
          server(module),
          picture(std::make_shared<native::SubstitutePictureBox>(1024, 768)),
          picMap(picture) {
        module.tiles = &tiles->service();
        platform.panels().useTiles(&tiles->service());
        fs::create_directories(folder / "UIV" / "MAPS");
        platform.host().automation().setInstallationDirectory(u"C:\\UIV");
        std::u16string call = u"JA1VAM";
        ObjectRef events = std::make_shared<native::SubstituteEvents>();
        ObjectRef form = std::make_shared<native::SubstituteForm>(picture);
        double x1 = 139.70, y1 = 35.72, x2 = 139.80, y2 = 35.64;
        vb::Boolean result = vb::False;
        if (!server.Initialize(call, events, form) ||
            !server.DrawMapFromCorners(picMap, x1, y1, x2, y2, result)) {
            throw std::runtime_error("the plug-in did not start");
        }
    }
    ~TilePlugin() { fs::remove_all(folder); }

    void centre(double x, double y) {
        vb::Boolean result = vb::False;
        if (!server.DrawMapFromCentre(picMap, x, y, result)) throw std::runtime_error("the request failed");
    }
    // The view the control drew last.
    mapcontrol::View view() {
        auto& atlas = platform.panels().lastCreated()->atlas();
        return {atlas.centreLat(), atlas.centreLng(), atlas.layerScale(), atlas.widthPixels(),
                atlas.heightPixels()};
    }
    void clearLog() { module.panel().log().setText(u""); }

    fs::path folder;
    native::NativePlatform platform;
    std::unique_ptr<native::NativeTiles> tiles;
    Module module;
    clsMapServ server;
    std::shared_ptr<native::SubstitutePictureBox> picture;
    ObjectRef picMap;
};

// Two views side by side, drawn in turn: the built-in map, or tiles that are
// all cached (decoded in memory after the first round).
void request(benchmark::State& state, const char* source) {
    CachedTileUser user;
    TilePlugin plugin(user, source);
    const std::pair<double, double> centres[] = {{139.75, 35.68}, {139.77, 35.69}};
    for (const auto& [x, y] : centres) {
        plugin.centre(x, y);
        const mapcontrol::View view = plugin.view();
        const std::int32_t zoom = tiles::tileZoomFor(view, 0, 19);
        user.fill(around(view), zoom, zoom);
    }
    int turn = 0;
    for (auto _ : state) {
        const auto& [x, y] = centres[turn++ % 2];
        plugin.centre(x, y);
        state.PauseTiming();
        plugin.clearLog();
        state.ResumeTiming();
    }
    state.counters["decodedTiles"] =
        static_cast<double>(plugin.tiles->service().decodedBytes() / (256 * 256 * 4));
}

void BM_RequestBuiltInMap1024x768(benchmark::State& state) { request(state, "builtin"); }
BENCHMARK(BM_RequestBuiltInMap1024x768)->Unit(benchmark::kMillisecond);

void BM_RequestAllTilesCached1024x768(benchmark::State& state) { request(state, "bench"); }
BENCHMARK(BM_RequestAllTilesCached1024x768)->Unit(benchmark::kMillisecond);

// 1,000 requests over a hundred views (a 10 x 10 grid half a picture apart,
// walked ten times), more tiles than the memory cache holds: what the decoded
// tiles hold afterwards, and the process's peak resident size.
void BM_MemoryAfterRequestsOverChangingViews(benchmark::State& state) {
    CachedTileUser user;
    TilePlugin plugin(user, "bench");
    plugin.centre(139.70, 35.70);
    const mapcontrol::View first = plugin.view();
    const tiles::WgsFrame f = tiles::frameOf(first);
    const double stepX = (f.x2 - f.x1) / 2, stepY = (f.y1 - f.y2) / 2;
    const tiles::WgsFrame area{139.70 - 2 * stepX, 35.70 + 2 * stepY, 139.70 + 12 * stepX,
                               35.70 - 12 * stepY, f.width * 7,       f.height * 7};
    const std::int32_t zoom = tiles::tileZoomFor(first, 0, 19);
    user.fill(area, zoom, zoom);
    std::size_t most = 0;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            const int cell = i % 100, row = cell / 10, column = row % 2 ? 9 - cell % 10 : cell % 10;
            plugin.centre(139.70 + column * stepX, 35.70 - row * stepY);
            most = std::max(most, plugin.tiles->service().decodedBytes());
            if (i % 100 == 99) plugin.clearLog();
        }
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["tilesInArea"] = static_cast<double>(tiles::tilesCovering(area, zoom).size());
    state.counters["decodedBytes"] = static_cast<double>(plugin.tiles->service().decodedBytes());
    state.counters["decodedBytesMost"] = static_cast<double>(most);
    state.counters["decodedLimit"] = static_cast<double>(std::size_t{64} << 20);
    state.counters["peakRSS"] = static_cast<double>(usage.ru_maxrss) * 1024;
}
BENCHMARK(BM_MemoryAfterRequestsOverChangingViews)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
