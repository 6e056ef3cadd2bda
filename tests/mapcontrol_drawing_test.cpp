// What the replacement map control draws and puts on the clipboard.

#include <algorithm>
#include <limits>

#include "mapcontrol/palette.h"
#include "mapcontrol_fixture.h"

namespace vamu::mapcontrol {
namespace {

using namespace fixture;

class MapControlDrawing : public MapControlFixture {
protected:
    double share(std::uint32_t colour) {
        const Image image = control.render();
        const auto n = std::count(image.pixels.begin(), image.pixels.end(), colour);
        return static_cast<double>(n) / static_cast<double>(image.pixels.size());
    }
};

TEST_F(MapControlDrawing, ClipboardImageHasExactlyTheControlSize) {
    const std::pair<float, float> sizes[] = {{320, 240}, {321, 241}, {1, 1},      {0, 0},
                                             {0, 240},   {320, 0},   {2.5f, 3.5f}};
    for (auto [w, h] : sizes) {
        control.setWidth(w);
        control.setHeight(h);
        control.copyToClipboard();
        const Image& image = clipboard.last;
        EXPECT_EQ(image.width, control.widthPixels()) << w;
        EXPECT_EQ(image.height, control.heightPixels()) << h;
        EXPECT_EQ(image.pixels.size(),
                  static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    }
    EXPECT_EQ(clipboard.last.width, 2);
    EXPECT_EQ(clipboard.last.height, 4);
    EXPECT_EQ(clipboard.sets, 7);
    EXPECT_EQ(clipboard.last.pixels, control.render().pixels);
}

TEST_F(MapControlDrawing, LandInlandFromTokyoSeaInThePacific) {
    look(36.0, 139.5, 250000);
    EXPECT_GT(share(palette::kLand), 0.8);
    look(33.0, 142.0, 1000000);
    EXPECT_EQ(share(palette::kLand), 0.0);
    EXPECT_GT(share(palette::kSea), 0.8);
}

TEST_F(MapControlDrawing, UnknownDataSetDrawsNoLand) {
    look(36.0, 139.5, 250000);
    control.setAreaCode(u"XYZ");
    EXPECT_EQ(share(palette::kLand), 0.0);
    EXPECT_GT(share(palette::kSea), 0.8);
}

TEST_F(MapControlDrawing, MeridianIsDrawnWherePixelToLatLngCrossesIt) {
    look(36.0, 139.9, 1000000);
    const Image image = control.render();
    std::int32_t column = -1;
    for (std::int32_t x = 0; x < 320 && column < 0; ++x) {
        std::int32_t lat = 0, lng = 0, nextLng = 0;
        control.pixelToLatLng(x, 0, lat, lng);
        control.pixelToLatLng(x + 1, 0, lat, nextLng);
        if (lng <= 140 * kMsecPerDegree && nextLng > 140 * kMsecPerDegree) column = x;
    }
    ASSERT_GE(column, 0);
    EXPECT_EQ(image.at(column, 60), palette::kGraticule);
    EXPECT_EQ(image.at(column, 200), palette::kGraticule);
}

TEST_F(MapControlDrawing, ExtremeViewsStillDrawTheirSize) {
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    const std::int32_t scales[] = {1, 500, kMax};
    const std::pair<std::int32_t, std::int32_t> centres[] = {{0, 0}, {kMax, kMin}, {kMin, kMax}};
    for (std::int32_t scale : scales) {
        for (auto [lat, lng] : centres) {
            control.setLayerScale(scale);
            control.setCenter(lat, lng, 1, 0);
            const Image image = control.render();
            EXPECT_EQ(image.pixels.size(), 320u * 240u);
        }
    }
    control.setWidth(32767);
    control.setHeight(1);
    EXPECT_EQ(control.render().width, 32767);
}

}  // namespace
}  // namespace vamu::mapcontrol
