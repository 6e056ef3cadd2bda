// The replacement map control: geometry of its pixels, its size and scale
// properties, and its PositionChanged event.

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "mapcontrol_fixture.h"

namespace vamu::mapcontrol {
namespace {

using namespace fixture;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

using MapControlGeometry = MapControlFixture;

TEST_F(MapControlGeometry, CornersLieAroundTheCentreNorthUp) {
    EXPECT_EQ(at(160, 120), (Position{kLat35, kLng139}));
    const Position nw = at(0, 0);
    const Position se = at(320, 240);
    EXPECT_GT(nw.lat, kLat35);
    EXPECT_LT(nw.lng, kLng139);
    EXPECT_NEAR(nw.lat + se.lat, 2.0 * kLat35, 1);
    EXPECT_NEAR(nw.lng + se.lng, 2.0 * kLng139, 1);
}

TEST_F(MapControlGeometry, ExtentFollowsTheScaleAt96Dpi) {
    // 120 pixels at 1:1,000,000 are 31.75 km; an arc-second of latitude is
    // about 30.87 m, of longitude that times cos(35°).
    const double northMsec = 120 * 0.0254 / 96 * 1e6 / 30.8667 * 1000;
    const double eastMsec = northMsec * 160 / 120 / std::cos(35 * std::numbers::pi / 180);
    const Position nw = at(0, 0);
    EXPECT_NEAR(nw.lat - kLat35, northMsec, northMsec * 0.002);
    EXPECT_NEAR(kLng139 - nw.lng, eastMsec, eastMsec * 0.002);

    control.setLayerScale(2000000);
    const Position wider = at(0, 0);
    EXPECT_NEAR(wider.lat - kLat35, 2.0 * (nw.lat - kLat35), 2);
    EXPECT_NEAR(kLng139 - wider.lng, 2.0 * (kLng139 - nw.lng), 2);
}

TEST_F(MapControlGeometry, OddSizeCentreFallsBetweenPixels) {
    control.setWidth(321);
    control.setHeight(241);
    const Position nw = at(0, 0);
    const Position se = at(321, 241);
    EXPECT_NEAR(nw.lat + se.lat, 2.0 * kLat35, 1);
    EXPECT_NEAR(nw.lng + se.lng, 2.0 * kLng139, 1);
    const Position p = at(160, 120);  // half a pixel north-west of the centre
    EXPECT_GT(p.lat, kLat35);
    EXPECT_LT(p.lng, kLng139);
}

TEST_F(MapControlGeometry, SizesRoundHalfToEvenAndInvalidValuesAreRejected) {
    control.setWidth(320.5f);
    EXPECT_EQ(control.widthPixels(), 320);
    control.setWidth(321.5f);
    EXPECT_EQ(control.widthPixels(), 322);
    for (float bad : {-1.0f, -0.6f, std::numeric_limits<float>::quiet_NaN(), 1e9f}) {
        EXPECT_EQ(errorOf([&] { control.setWidth(bad); }), 380) << bad;
        EXPECT_EQ(errorOf([&] { control.setHeight(bad); }), 380) << bad;
    }
    EXPECT_EQ(errorOf([&] { control.setLayerScale(0); }), 380);
    EXPECT_EQ(errorOf([&] { control.setLayerScale(kMin); }), 380);
    EXPECT_EQ(control.widthPixels(), 322);
    EXPECT_EQ(control.heightPixels(), 240);
    EXPECT_EQ(control.layerScale(), 1000000);
    PersistedSettings zeroScale;
    zeroScale.layerScale = 0;
    EXPECT_EQ(errorOf([&] { ReplacementMapControl c(clipboard, {}, zeroScale, 10, 10); }), 380);
    EXPECT_EQ(errorOf([&] { ReplacementMapControl c(clipboard, {}, {}, -5, 10); }), 380);
}

TEST_F(MapControlGeometry, PositionsBeyondALongRaiseOverflow) {
    Position p{7, 8};
    EXPECT_EQ(errorOf([&] { control.pixelToLatLng(kMax, 0, p.lat, p.lng); }), 6);
    EXPECT_EQ(errorOf([&] { control.pixelToLatLng(0, kMin, p.lat, p.lng); }), 6);
    EXPECT_EQ(p, (Position{7, 8}));  // nothing written on failure

    control.setLayerScale(kMax);
    EXPECT_EQ(errorOf([&] { at(0, 0); }), 6);
    control.setLayerScale(500);
    control.setCenter(kMax, kMin, 1, 0);
    EXPECT_EQ(errorOf([&] { at(320, 240); }), 0);  // south-east of the centre still fits
    EXPECT_EQ(errorOf([&] { at(0, 0); }), 6);
}

using MapControlEvents = MapControlFixture;

struct Recorder {
    std::vector<std::tuple<std::int32_t, std::int32_t, std::int32_t>> calls;
    MapControl::PositionChanged handler() {
        return [this](std::int32_t lat, std::int32_t lng, std::int32_t third) {
            calls.emplace_back(lat, lng, third);
        };
    }
};

TEST_F(MapControlEvents, SetCenterRaisesOnceInEitherMode) {
    Recorder rec;
    std::int32_t seenLat = 0;
    control.onPositionChanged([&](std::int32_t lat, std::int32_t lng, std::int32_t third) {
        seenLat = control.centreLat();  // already moved when the event arrives
        rec.handler()(lat, lng, third);
    });
    control.setCenter(125988169, 500411212, 1, 0);
    control.setOverviewMode(true);
    control.setCenter(125988169, 500411212, 1, 0);  // same point: raised again
    ASSERT_EQ(rec.calls.size(), 2u);
    EXPECT_EQ(rec.calls[0], std::make_tuple(125988169, 500411212, 0));
    EXPECT_EQ(rec.calls[1], rec.calls[0]);
    EXPECT_EQ(seenLat, 125988169);
}

TEST_F(MapControlEvents, ScrollByBringsThatPixelToTheCentre) {
    Recorder rec;
    control.onPositionChanged(rec.handler());
    const Position target = at(160 + 25, 120 - 40);
    control.scrollBy(25, -40);
    EXPECT_EQ((Position{control.centreLat(), control.centreLng()}), target);
    EXPECT_GT(target.lat, kLat35);
    EXPECT_GT(target.lng, kLng139);
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.calls[0], std::make_tuple(target.lat, target.lng, 0));
}

TEST_F(MapControlEvents, HandlerFailureReachesTheCallerAfterTheMove) {
    control.onPositionChanged(
        [](std::int32_t, std::int32_t, std::int32_t) { throw RuntimeError(ErrorNumber::ObjectNotSet); });
    EXPECT_EQ(errorOf([&] { control.setCenter(1, 2, 1, 0); }), 91);
    EXPECT_EQ(control.centreLat(), 1);
    EXPECT_EQ(errorOf([&] { control.scrollBy(0, 10); }), 91);
    EXPECT_LT(control.centreLat(), 1);
}

TEST_F(MapControlEvents, ScrollOverflowLeavesCentreAndRaisesNothing) {
    control.setCenter(kMax - 10, 0, 1, 0);
    Recorder rec;
    control.onPositionChanged(rec.handler());
    EXPECT_EQ(errorOf([&] { control.scrollBy(0, -100); }), 6);
    EXPECT_EQ(control.centreLat(), kMax - 10);
    EXPECT_TRUE(rec.calls.empty());
}

TEST_F(MapControlEvents, HandlerMayReplaceItselfWhileRunning) {
    std::size_t seen = 0;
    const std::string tag(64, 'x');  // too big to sit inside the std::function
    control.onPositionChanged([this, &seen, tag](std::int32_t, std::int32_t, std::int32_t) {
        control.onPositionChanged(nullptr);
        seen += tag.size();  // the running handler must still be alive
    });
    control.setCenter(1, 2, 1, 0);
    control.setCenter(3, 4, 1, 0);
    EXPECT_EQ(seen, 64u);
}

}  // namespace
}  // namespace vamu::mapcontrol
