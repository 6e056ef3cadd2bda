// Tile pictures: the tiles land where the host puts things by the reported
// corners, the zoom suits the scale, gaps are filled from ancestors and the
// built-in map, and the overlays are drawn.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <set>

#include "engine/conversions.h"
#include "mapcontrol/glyph_text.h"
#include "mapcontrol/map_drawing.h"
#include "mapcontrol/palette.h"
#include "mapcontrol/tiles/credit_texts.h"
#include "mapcontrol/tiles/tile_credit.h"
#include "mapcontrol/tiles/tile_frame.h"
#include "mapcontrol/tiles/tile_map.h"
#include "support/plugin_harness.h"
#include "support/tile_pattern.h"

namespace vamu::testing {
namespace {

using tiles::TileId;

constexpr std::int32_t kLayerScales[] = {5000000, 2500000, 1000000, 500000, 250000, 100000, 50000,
                                         25000,   10000,   5000,    2500,   1000,   500};
// Pattern tiles at the zooms it holds, counting what it was asked.
struct PatternTiles : tiles::TileLookup {
    std::function<bool(TileId)> holds = [](TileId) { return true; };
    std::map<TileId, std::shared_ptr<const Image>> made;
    std::shared_ptr<const Image> tile(TileId id) override {
        EXPECT_TRUE(id.valid());
        if (!holds(id)) return nullptr;
        auto& t = made[id];
        if (!t) t = std::make_shared<const Image>(patternTile(id));
        return t;
    }
};

struct Floor {
    int calls = 0;
    tiles::FloorPainter painter(std::int32_t w, std::int32_t h, std::uint32_t colour = 0x3366AA) {
        return [this, w, h, colour] {
            ++calls;
            return Image(w, h, colour);
        };
    }
};

mapcontrol::View viewAt(double lonDeg, double latDeg, std::int32_t scale, std::int32_t w, std::int32_t h) {
    return {static_cast<std::int32_t>(latDeg * 3600000), static_cast<std::int32_t>(lonDeg * 3600000), scale,
            w, h};
}

TEST(TileDrawing, TilesLineUpWithTheReportedCornersAtEveryLayer) {
    const std::pair<double, double> centres[] = {{139.767, 35.681}, {141.354, 43.062}, {127.681, 26.212}};
    for (const auto& [lon, lat] : centres) {
        for (const auto& [w, h] : {std::pair{640, 480}, std::pair{333, 517}}) {
            for (const std::int32_t scale : kLayerScales) {
                SCOPED_TRACE(::testing::Message()
                             << lon << "," << lat << " " << w << "x" << h << " 1/" << scale);
                const mapcontrol::View view = viewAt(lon, lat, scale, w, h);
                const std::int32_t zoom = tiles::tileZoomFor(view, 0, 18);  // 1/1000 and 1/500 stretch 18
                PatternTiles lookup;
                Floor floor;
                std::vector<TileId> missing;
                const Image image =
                    tiles::composeTiles(tiles::frameOf(view), zoom, lookup, missing, floor.painter(w, h));
                EXPECT_TRUE(missing.empty());
                EXPECT_EQ(floor.calls, 0);
                expectDotsWhereTheHostPutsThem(image, tiles::frameOf(view), zoom, 6);
            }
        }
    }
}

// The frame the tiles are drawn in is the one the render cycle reports, to
// the bit, through zooms and a resize.
TEST(TileDrawing, FrameIsTheOneTheHostIsGiven) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    ASSERT_TRUE(h.corners(139.5, 35.9, 140.1, 35.5));
    vb::Boolean result = vb::False;
    for (int step = 0; step < 4; ++step) {
        if (step == 1) {
            ASSERT_TRUE(h.server.ZoomIn(h.picMap, result));
        } else if (step == 2) {
            ASSERT_TRUE(h.server.ZoomOut(h.picMap, result) && h.server.ZoomOut(h.picMap, result));
        } else if (step == 3) {
            ASSERT_TRUE(h.centre(130.4, 33.6));
        }
        const auto& atlas = h.widgets().atlas();
        const tiles::WgsFrame f = tiles::frameOf({atlas.centreLat(), atlas.centreLng(), atlas.layerScale(),
                                                  atlas.widthPixels(), atlas.heightPixels()});
        EXPECT_EQ(f.x1, h.store().dblMapX1);
        EXPECT_EQ(f.y1, h.store().dblMapY1);
        EXPECT_EQ(f.x2, h.store().dblMapX2);
        EXPECT_EQ(f.y2, h.store().dblMapY2);
    }
}

TEST(TileDrawing, ZoomIsNearestInLogScaleWithinTheSourceRange) {
    const double lat = 35.0;
    auto resolutionAt = [&](double zoom) {
        return 156543.03392804097 * std::cos(lat * kPi / 180) / std::exp2(zoom);
    };
    EXPECT_EQ(tiles::chooseZoom(resolutionAt(12.0), lat, 0, 19), 12);
    EXPECT_EQ(tiles::chooseZoom(resolutionAt(12.45), lat, 0, 19), 12);
    EXPECT_EQ(tiles::chooseZoom(resolutionAt(12.55), lat, 0, 19), 13);
    EXPECT_EQ(tiles::chooseZoom(resolutionAt(19.6), lat, 2, 18), 18);
    EXPECT_EQ(tiles::chooseZoom(resolutionAt(0.3), lat, 2, 18), 2);
    EXPECT_EQ(tiles::chooseZoom(0.0, lat, 5, 18), 5);
    EXPECT_EQ(tiles::chooseZoom(std::nan(""), lat, 5, 18), 5);
    // At Sapporo a pixel of the same zoom covers less ground than at Naha.
    EXPECT_EQ(tiles::chooseZoom(resolutionAt(12.0), 43.0, 0, 19), 12);
    EXPECT_EQ(tiles::chooseZoom(resolutionAt(12.0) * 0.7, 43.0, 0, 19), 12);
    EXPECT_EQ(tiles::chooseZoom(resolutionAt(12.0) * 0.7, 26.0, 0, 19), 13);
}

TEST(TileDrawing, CoveringTilesRunFromTheCentreWrapAndStayInTheWorld) {
    const tiles::WgsFrame tokyo{139.6, 35.8, 139.9, 35.6, 640, 480};
    const auto t = tiles::tilesCovering(tokyo, 12);
    ASSERT_FALSE(t.empty());
    const TileId centre{12, static_cast<std::int32_t>(lonToX(139.75, 12) / 256),
                        static_cast<std::int32_t>(latToY(35.7, 12) / 256)};
    EXPECT_LE(std::abs(t.front().x - centre.x) + std::abs(t.front().y - centre.y), 1);
    EXPECT_EQ(std::set<TileId>(t.begin(), t.end()).size(), t.size());
    for (const TileId& id : t) EXPECT_TRUE(id.valid());

    // Across the antimeridian and up to the pole.
    const auto edge = tiles::tilesCovering({179.99, 89.0, 180.01, 84.9, 100, 100}, 4);
    std::set<std::int32_t> columns, rows;
    for (const TileId& id : edge) columns.insert(id.x), rows.insert(id.y);
    EXPECT_EQ(columns, (std::set<std::int32_t>{0, 15}));
    EXPECT_EQ(*rows.begin(), 0);
    for (const TileId& id : edge) EXPECT_TRUE(id.valid());
}

TEST(TileDrawing, MissingTilesStandInFromAncestorsThenTheFloor) {
    const mapcontrol::View view = viewAt(139.767, 35.681, 25000, 640, 480);
    const tiles::WgsFrame f = tiles::frameOf(view);
    const std::int32_t zoom = tiles::tileZoomFor(view, 0, 18);
    {  // Only tiles two zooms up: stretched, their dots in their own places.
        PatternTiles lookup;
        lookup.holds = [&](TileId id) { return id.z == zoom - 2; };
        Floor floor;
        std::vector<TileId> missing;
        const Image image = tiles::composeTiles(f, zoom, lookup, missing, floor.painter(640, 480));
        EXPECT_EQ(missing, tiles::tilesCovering(f, zoom));
        EXPECT_EQ(floor.calls, 0);
        expectDotsWhereTheHostPutsThem(image, f, zoom - 2, 10);
    }
    {  // Nothing at all: the floor alone, asked for once.
        PatternTiles lookup;
        lookup.holds = [](TileId) { return false; };
        Floor floor;
        std::vector<TileId> missing;
        const Image image = tiles::composeTiles(f, zoom, lookup, missing, floor.painter(640, 480));
        EXPECT_EQ(missing, tiles::tilesCovering(f, zoom));
        EXPECT_EQ(floor.calls, 1);
        EXPECT_EQ(image.pixels, Image(640, 480, 0x3366AA).pixels);
    }
    {  // The centre tile alone, nine levels above it nothing: tile and floor, no hole.
        const TileId centre = tiles::tilesCovering(f, zoom).front();
        PatternTiles lookup;
        lookup.holds = [&](TileId id) { return id == centre || id.z < zoom - tiles::kMaxAncestorLevels; };
        Floor floor;
        std::vector<TileId> missing;
        const Image image = tiles::composeTiles(f, zoom, lookup, missing, floor.painter(640, 480));
        EXPECT_EQ(floor.calls, 1);
        EXPECT_EQ(missing.size(), tiles::tilesCovering(f, zoom).size() - 1);
        std::map<std::uint32_t, int> colours;
        for (const std::uint32_t p : image.pixels) ++colours[p];
        EXPECT_GT(colours[0xFFFFFF], 100 * 100);  // a stretch of the centre tile
        EXPECT_GT(colours[0x3366AA], 100 * 100);  // the floor around it
        EXPECT_EQ(colours.count(tiles::kNoMapColour), 0u);
        EXPECT_EQ(image.at(320, 240) == 0x3366AA, false);
    }
}

// The built-in map without furniture, and its scale bar and centre mark
// drawn on their own, give the very pixels of the whole drawing there.
TEST(TileDrawing, BuiltInFurnitureDrawsOnItsOwn) {
    const mapcontrol::MapData* data = mapcontrol::builtInMapData().data.get();
    ASSERT_NE(data, nullptr);
    const mapcontrol::View view = viewAt(139.767, 35.681, 250000, 400, 300);
    mapcontrol::DrawingReport report;
    const Image whole = mapcontrol::drawMap(view, {data, false}, &report);
    mapcontrol::DrawingReport bareReport;
    Image bare = mapcontrol::drawMap(view, {data, false, true}, &bareReport);
    EXPECT_TRUE(bareReport.furniture.empty());
    EXPECT_TRUE(bareReport.places.empty());
    EXPECT_NE(bare.pixels, whole.pixels);
    const mapcontrol::PixelBox bar = mapcontrol::drawScaleBar(bare, view, data);
    mapcontrol::drawCentreMark(bare, view, false);
    ASSERT_GT(bar.x1 - bar.x0, 10);
    for (std::int32_t y = bar.y0; y < bar.y1; ++y) {
        for (std::int32_t x = bar.x0; x < bar.x1; ++x)
            ASSERT_EQ(bare.at(x, y), whole.at(x, y)) << x << "," << y;
    }
    for (std::int32_t d = -6; d <= 6; ++d) {
        EXPECT_EQ(bare.at(200 + d, 150), whole.at(200 + d, 150));
        EXPECT_EQ(bare.at(200, 150 + d), whole.at(200, 150 + d));
    }
}

// The floor shows at each pixel what the control shows at the place the host
// gives that pixel, on a coast where a shift is plain to see.
TEST(TileDrawing, FloorLiesInTheFrameTheHostIsGiven) {
    const mapcontrol::MapData* data = mapcontrol::builtInMapData().data.get();
    ASSERT_NE(data, nullptr);
    for (const std::int32_t scale : {500, 1000000}) {
        SCOPED_TRACE(scale);
        const mapcontrol::View view{128252762, 503193547, scale, 400, 300};
        const Image floor = tiles::builtInFloor(view, data)();
        const Image bare = mapcontrol::drawMap(view, {data, false, true});
        const tiles::WgsFrame f = tiles::frameOf(view);
        int compared = 0;
        for (std::int32_t py = 30; py < 300; py += 60) {
            for (std::int32_t px = 40; px < 400; px += 80) {
                double lat = 0, lng = 0;
                WGS84ToTokyo(f.y1 + (f.y2 - f.y1) * (py + 0.5) / 300, f.x1 + (f.x2 - f.x1) * (px + 0.5) / 400,
                             lat, lng);
                const double bx = mapcontrol::pixelX(view, lng * 3600000),
                             by = mapcontrol::pixelY(view, lat * 3600000);
                if (bx < 0 || by < 0 || bx >= 400 || by >= 300) continue;
                ++compared;
                EXPECT_EQ(floor.at(px, py),
                          bare.at(static_cast<std::int32_t>(bx), static_cast<std::int32_t>(by)))
                    << px << "," << py;
            }
        }
        EXPECT_GE(compared, 12);
        std::set<std::uint32_t> colours(floor.pixels.begin(), floor.pixels.end());
        EXPECT_TRUE(colours.count(mapcontrol::palette::kSea) && colours.count(mapcontrol::palette::kLand));
    }
}

// Over blank tiles everything drawn is an overlay: the centre mark, the
// scale bar at the bottom left and the whole credit at the bottom right.
TEST(TileDrawing, TilePictureCarriesCreditScaleBarAndCentreMark) {
    struct Blank : tiles::TileLookup {
        std::shared_ptr<const Image> tile(TileId) override {
            return std::make_shared<const Image>(256, 256, 0xFFFFFF);
        }
    } blank;
    const mapcontrol::View view = viewAt(139.767, 35.681, 25000, 480, 360);
    const std::u32string credit = tiles::credits::kGsiPhotoMosaic;
    std::vector<TileId> missing;
    Floor floor;
    const Image image = tiles::drawTileMap(view, {tiles::tileZoomFor(view, 2, 18), credit, false, nullptr},
                                           blank, missing, floor.painter(480, 360));
    EXPECT_EQ(floor.calls, 0);
    EXPECT_EQ(image.at(240, 180), mapcontrol::palette::kCentreMark);
    auto inkIn = [&](std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
        int n = 0;
        for (std::int32_t y = y0; y < y1; ++y) {
            for (std::int32_t x = x0; x < x1; ++x) n += image.at(x, y) != 0xFFFFFF;
        }
        return n;
    };
    const mapcontrol::TextPainter text(&mapcontrol::builtInMapData().data->fonts().front());
    const auto lines = tiles::wrapCredit(credit, text, 480 - 10);
    ASSERT_GE(lines.size(), 3u);
    std::u32string joined, original;
    for (const auto& l : lines) {
        EXPECT_LE(text.width(l), 470);
        for (char32_t c : l) joined += c == U' ' ? U"" : std::u32string(1, c);
    }
    for (char32_t c : credit) original += c == U' ' ? U"" : std::u32string(1, c);
    EXPECT_EQ(joined, original);
    EXPECT_EQ(inkIn(0, 0, 480, 160), 0);        // no graticule, no labels
    EXPECT_GT(inkIn(0, 330, 120, 360), 50);     // the scale bar
    EXPECT_GT(inkIn(240, 200, 480, 330), 500);  // the credit, wrapped above it
    // Every glyph of every credit is in the data set.
    for (const char32_t* c : tiles::credits::kAll) {
        for (; *c; ++c)
            EXPECT_NE(mapcontrol::builtInMapData().data->fonts().front().find(*c), nullptr)
                << static_cast<std::uint32_t>(*c);
    }
}

}  // namespace
}  // namespace vamu::testing
