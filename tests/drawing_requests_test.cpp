// The drawing requests: which map is centred where, the host picture's size,
// and the results.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "support/plugin_harness.h"

namespace vamu::testing {
namespace {

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

struct Initialized : PluginHarness {
    explicit Initialized(double width = 320, double height = 240) : PluginHarness(u"C:\\UIV", width, height) {
        EXPECT_TRUE(initialize());
        takeTrace();
    }
};

TEST(DrawingRequests, CornersCentreTheOverviewOnTheMiddleWithoutADatumShift) {
    Initialized h;
    vb::Boolean result = vb::False;
    double x1 = 139.0, y1 = 36.0, x2 = 140.0, y2 = 35.0;
    ASSERT_TRUE(h.server.DrawMapFromCorners(h.picMap, x1, y1, x2, y2, result));
    EXPECT_EQ(result, vb::True);
    const auto trace = h.takeTrace();
    ASSERT_GE(trace.size(), 4u);
    EXPECT_EQ(trace[2], "miniAtlas.SetCenter 127800000 502200000 1 0");
    EXPECT_EQ(trace[4], "Atlas.SetCenter 127800000 502200000 1 0");
    // The overview's handler publishes, then the request publishes again.
    EXPECT_EQ(h.events->calls().size(), 4u);
}

TEST(DrawingRequests, CentreShiftsTheDatumAndCentresTheMainMap) {
    Initialized h;
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    h.takeTrace();
    vb::Boolean result = vb::False;
    ASSERT_TRUE(h.centre(139.0, 35.0, &result));
    EXPECT_EQ(result, vb::True);
    EXPECT_EQ(h.takeTrace().at(0), "Atlas.SetCenter 125988169 500411212 1 0");
}

TEST(DrawingRequests, ASecondCornerOfZeroCentresOnTheFirstCornerOnlyWhenBothAreZero) {
    struct Case {
        double x2, y2;
        std::string expected;
    };
    for (const Case& c : {Case{0.0, 0.0, "miniAtlas.SetCenter 129600000 500400000 1 0"},
                          Case{0.0, 35.0, "miniAtlas.SetCenter 127800000 250200000 1 0"},
                          Case{140.0, 0.0, "miniAtlas.SetCenter 64800000 502200000 1 0"}}) {
        Initialized h;
        ASSERT_TRUE(h.corners(139.0, 36.0, c.x2, c.y2));
        EXPECT_TRUE(contains(h.takeTrace(), c.expected)) << c.expected;
    }
}

TEST(DrawingRequests, CornersAdoptThePictureBoxAndSizeTheMainMapToIt) {
    Initialized h(400, 300);
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    EXPECT_EQ(h.store().intPicWidth, 400);
    EXPECT_EQ(h.store().intPicHeight, 300);
    EXPECT_EQ(h.store().picHost, h.picture);
    EXPECT_EQ(h.picture->scaleMode(), 3);
    const auto trace = h.takeTrace();
    EXPECT_EQ(trace[0], "Atlas.Width = 400");
    EXPECT_EQ(trace[1], "Atlas.Height = 300");
    EXPECT_EQ(h.widgets().atlas().widthPixels(), 400);
    std::int32_t lat = 0, lng = 0;
    h.widgets().atlas().pixelToLatLng(400, 300, lat, lng);
    EXPECT_TRUE(
        contains(trace, "Atlas.PixelToLatLng 400 300 -> " + std::to_string(lat) + " " + std::to_string(lng)));
}

TEST(DrawingRequests, CornersFailOnAnObjectThatIsNoPictureBoxWithNothingChanged) {
    Initialized h;
    h.picture->setOffersPictureBoxInterface(false);
    const Status status = h.corners(139.0, 36.0, 140.0, 35.0);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error->number(), 13);
    EXPECT_FALSE(h.store().picHost);
    EXPECT_EQ(h.picture->scaleMode(), 1);
    EXPECT_TRUE(h.takeTrace().empty());
}

TEST(DrawingRequests, APictureTooLargeForSixteenBitsOverflows) {
    Initialized h(32768, 240);
    const Status status = h.corners(139.0, 36.0, 140.0, 35.0);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error->number(), 6);
    EXPECT_EQ(h.store().intPicHeight, 240);
    EXPECT_EQ(h.store().intPicWidth, 0);
}

// The largest picture box the host allows would need gigabytes of pixels:
// the request fails with error 7 before any of them are allocated, and the
// earlier bitmap stays as it was.
TEST(DrawingRequests, APictureBeyondTheImageLimitIsOutOfMemoryAtOnce) {
    Initialized h;
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    const auto before = std::filesystem::last_write_time(h.mapFile());
    h.picture->setPixelSize(32767, 32767);
    const Status status = h.corners(139.0, 36.0, 140.0, 35.0);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error->number(), 7);
    EXPECT_EQ(status.error->description(), u"Out of memory");
    EXPECT_EQ(std::filesystem::last_write_time(h.mapFile()), before);
    EXPECT_EQ(std::filesystem::file_size(h.mapFile()), 54u + 320u * 3u * 240u);
}

TEST(ImageLimit, OnePlaceDecidesWhatFits) {
    EXPECT_EQ(imagePixelCount(8192, 8192), std::size_t{8192} * 8192);
    EXPECT_EQ(imagePixelCount(0, 32767), 0u);
    for (const auto& [w, h] : {std::pair{8192, 8193}, {32767, 32767}, {65536, 1025}}) {
        try {
            Image image(w, h);
            ADD_FAILURE() << w << "x" << h << " was made";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), 7);
        }
    }
}

TEST(DrawingRequests, AnOverflowingMidpointFailsAfterTheMainMapWasResized) {
    Initialized h(400, 300);
    const Status status = h.corners(1e308, 36.0, 1e308, 35.0);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error->number(), 6);
    EXPECT_EQ(h.widgets().atlas().widthPixels(), 400);
    EXPECT_FALSE(contains(h.takeTrace(), "miniAtlas.SetCenter"));
}

TEST(DrawingRequests, ResizeRedrawsAtTheNewSizeAndAnswersFalse) {
    Initialized h;
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    h.events->clear();
    h.picture->setPixelSize(500, 200);
    double unused = 0;
    vb::Boolean result = vb::True;
    ASSERT_TRUE(h.server.ResizeMap(h.picMap, unused, unused, unused, unused, result));
    EXPECT_EQ(result, vb::False);
    EXPECT_EQ(h.widgets().atlas().widthPixels(), 500);
    EXPECT_EQ(h.widgets().atlas().heightPixels(), 200);
    EXPECT_EQ(h.events->calls().size(), 2u);
    // The adopted size stays that of the last DrawMapFromCorners.
    EXPECT_EQ(h.store().intPicWidth, 320);
}

TEST(DrawingRequests, CentreBeforeAnyCornersShowsThePictureThenFails) {
    Initialized h;
    vb::Boolean result = vb::True;
    const Status status = h.centre(139.0, 35.0, &result);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error->number(), 91);
    EXPECT_EQ(result, vb::False);
    ASSERT_TRUE(h.picture->picture());
    EXPECT_FALSE(h.picture->picture()->isEmpty());
    EXPECT_TRUE(h.events->calls().empty());
}

TEST(DrawingRequests, CentreDoesNotTouchItsPictureArgument) {
    Initialized h;
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    ObjectRef notAPicture = h.events;
    double x = 139.0, y = 35.0;
    vb::Boolean result = vb::False;
    EXPECT_TRUE(h.server.DrawMapFromCentre(notAPicture, x, y, result));
    EXPECT_EQ(result, vb::True);
}

TEST(DrawingRequests, CornersWithNothingFailWith91AndLeaveNoPictureBox) {
    Initialized h;
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    ObjectRef nothing;
    double x1 = 139.0, y1 = 36.0, x2 = 140.0, y2 = 35.0;
    vb::Boolean result = vb::True;
    const Status status = h.server.DrawMapFromCorners(nothing, x1, y1, x2, y2, result);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error->number(), 91);
    EXPECT_EQ(result, vb::False);
    // Nothing was adopted as the picture box before its first use failed:
    // the next render cycle has none.
    EXPECT_FALSE(h.store().picHost);
    vb::Boolean zoomed = vb::True;
    const Status zoom = h.server.ZoomIn(h.picMap, zoomed);
    ASSERT_FALSE(zoom);
    EXPECT_EQ(zoom.error->number(), 91);
}

TEST(DrawingRequests, AnObjectThatIsNoPictureBoxKeepsTheOneAdoptedBefore) {
    Initialized h(400, 300);
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    const auto adopted = h.store().picHost;
    ObjectRef notAPicture = h.events;
    double x1 = 139.0, y1 = 36.0, x2 = 140.0, y2 = 35.0;
    vb::Boolean result = vb::True;
    const Status status = h.server.DrawMapFromCorners(notAPicture, x1, y1, x2, y2, result);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error->number(), 13);
    EXPECT_EQ(h.store().picHost, adopted);
    EXPECT_EQ(h.store().intPicWidth, 400);
    vb::Boolean zoomed = vb::False;
    EXPECT_TRUE(h.server.ZoomIn(h.picMap, zoomed));
}

}  // namespace
}  // namespace vamu::testing
