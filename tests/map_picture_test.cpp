// The map as a user sees it: known places fall on land, sea or lake after a
// full request through the control, and the labels and furniture never
// overlap or leave the picture.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "engine/conversions.h"
#include "mapcontrol/map_drawing.h"
#include "mapcontrol/palette.h"
#include "mapcontrol/replacement_map_control.h"

namespace vamu::mapcontrol {
namespace {

class NullClipboard : public Clipboard {
public:
    void setImage(const Image&) override {}
    bool hasBitmap() override { return false; }
    PictureRef picture() override { return {}; }
};

struct Spot {
    const char* name;
    double lat, lng;  // WGS84 degrees
    std::uint32_t colour;
};

std::int32_t msec(double degrees) { return static_cast<std::int32_t>(std::lround(degrees * 3600000.0)); }

class MapPicture : public ::testing::Test {
protected:
    // Centres the control a little away from the spot, renders, and returns
    // the colour most of the 3 x 3 pixels around the one whose position
    // PixelToLatLng reports nearest to the spot's Tokyo-datum position have
    // (a graticule line may cross the spot).
    std::uint32_t colourAt(const Spot& s, std::int32_t scale) {
        double lat = 0, lng = 0;
        WGS84ToTokyo(s.lat, s.lng, lat, lng);
        const std::int32_t want[2] = {msec(lat), msec(lng)};
        control.setLayerScale(scale);
        control.setCenter(want[0] + 40 * scale / 1000, want[1] - 60 * scale / 1000, 1, 0);
        std::int32_t bestX = -1, bestY = -1;
        double best = 1e300;
        for (std::int32_t y = 0; y < control.heightPixels(); ++y) {
            for (std::int32_t x = 0; x < control.widthPixels(); ++x) {
                std::int32_t la = 0, ln = 0;
                control.pixelToLatLng(x, y, la, ln);
                const double d = std::hypot(la - want[0], ln - want[1]);
                if (d < best) best = d, bestX = x, bestY = y;
            }
        }
        EXPECT_GT(bestX, 0) << s.name;
        EXPECT_LT(bestX, control.widthPixels() - 1) << s.name;
        const Image image = control.render();
        std::map<std::uint32_t, int> votes;
        for (std::int32_t dy = -1; dy <= 1; ++dy) {
            for (std::int32_t dx = -1; dx <= 1; ++dx) ++votes[image.at(bestX + dx, bestY + dy)];
        }
        return std::max_element(votes.begin(), votes.end(),
                                [](const auto& a, const auto& b) { return a.second < b.second; })
            ->first;
    }

    NullClipboard clipboard;
    ReplacementMapControl control{clipboard, defaultCatalogue(), {}, 400, 300};
};

constexpr Spot kSpots[] = {
    {"Tokyo Station", 35.6812, 139.7671, palette::kLand},
    {"Osaka Castle", 34.6873, 135.5262, palette::kLand},
    {"middle of Tokyo Bay", 35.45, 139.85, palette::kSea},
    {"middle of Osaka Bay", 34.50, 135.25, palette::kSea},
    {"middle of Lake Biwa", 35.25, 136.08, palette::kLake},
    {"Sado", 38.05, 138.40, palette::kLand},
    {"west of Sado", 38.05, 137.95, palette::kSea},
    {"between Sado and Honshu", 38.05, 138.75, palette::kSea},
    {"north of Sado", 38.45, 138.40, palette::kSea},
    {"Awaji", 34.40, 134.85, palette::kLand},
    {"west of Awaji", 34.40, 134.68, palette::kSea},
    {"east of Awaji", 34.40, 135.10, palette::kSea},
};

TEST_F(MapPicture, KnownPlacesFallOnLandSeaOrLakeAtTheDetailedLayers) {
    for (std::int32_t scale : {500, 10000, 25000, 100000, 250000}) {
        for (const Spot& s : kSpots) EXPECT_EQ(colourAt(s, scale), s.colour) << s.name << " at 1:" << scale;
    }
}

TEST_F(MapPicture, LargeFeaturesKeepTheirClassAtTheOverviewLayers) {
    const Spot large[] = {kSpots[2],
                          kSpots[4],
                          kSpots[5],
                          {"Nagano", 36.65, 138.18, palette::kLand},
                          {"Pacific", 33.3, 142.4, palette::kSea}};
    for (std::int32_t scale : {500000, 1000000, 2500000, 5000000}) {
        for (const Spot& s : large) EXPECT_EQ(colourAt(s, scale), s.colour) << s.name << " at 1:" << scale;
    }
}

TEST_F(MapPicture, NoDataSetNoLand) {
    control.setAreaCode(u"XYZ");
    EXPECT_EQ(colourAt(kSpots[0], 25000), palette::kSea);
}

struct ViewCase {
    const char* name;
    double lat, lng;
};

constexpr ViewCase kViews[] = {{"Tokyo", 35.68, 139.77}, {"Osaka", 34.69, 135.50}, {"sea", 33.5, 141.0}};
constexpr std::int32_t kScales[] = {5000000, 2500000, 1000000, 500000, 250000, 100000, 50000,
                                    25000,   10000,   5000,    2500,   1000,   500};

bool inside(const PixelBox& b, const View& v) {
    return b.x0 >= 0 && b.y0 >= 0 && b.x1 <= v.width && b.y1 <= v.height;
}

TEST(MapLabels, NeverOverlapAndStayInsideThePictureAtEveryLayer) {
    const MapData* data = builtInMapData().data.get();
    ASSERT_NE(data, nullptr);
    int labelled = 0;
    for (const ViewCase& c : kViews) {
        for (std::int32_t scale : kScales) {
            for (auto [w, h] : {std::pair{1024, 768}, std::pair{320, 240}}) {
                const View view{msec(c.lat), msec(c.lng), scale, w, h};
                DrawingReport report;
                const Image image = drawMap(view, {data, false}, &report);
                ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
                const std::string where =
                    std::string(c.name) + " 1:" + std::to_string(scale) + " " + std::to_string(w);
                labelled += static_cast<int>(report.places.size());
                for (std::size_t i = 0; i < report.places.size(); ++i) {
                    const PixelBox& a = report.places[i].box;
                    EXPECT_TRUE(inside(a, view)) << where;
                    for (std::size_t j = i + 1; j < report.places.size(); ++j) {
                        EXPECT_FALSE(a.overlaps(report.places[j].box)) << where << " " << i << "/" << j;
                    }
                    for (const PixelBox& f : report.furniture) EXPECT_FALSE(a.overlaps(f)) << where;
                }
            }
        }
    }
    EXPECT_GT(labelled, 100);
}

TEST(MapLabels, TheBigCitiesAreNamedAroundTokyoAndOsaka) {
    const MapData* data = builtInMapData().data.get();
    ASSERT_NE(data, nullptr);
    auto names = [&](double lat, double lng, std::int32_t scale) {
        DrawingReport report;
        drawMap({msec(lat), msec(lng), scale, 1024, 768}, {data, false}, &report);
        std::u32string all;
        for (const PlacedLabel& l : report.places) all += l.place->name + U"|";
        return all;
    };
    const std::u32string kanto = names(35.6, 139.7, 1000000);
    for (const char32_t* city : {U"Tokyo|", U"Yokohama|", U"Chiba|", U"Saitama|"}) {
        EXPECT_NE(kanto.find(city), std::u32string::npos);
    }
    const std::u32string honshu = names(35.5, 137.5, 5000000);
    for (const char32_t* city : {U"Tokyo|", U"Osaka|", U"Nagoya|"})
        EXPECT_NE(honshu.find(city), std::u32string::npos);
}

}  // namespace
}  // namespace vamu::mapcontrol
