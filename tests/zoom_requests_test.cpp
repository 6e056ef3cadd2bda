// Zoom steps through the enabled layers and pans by a fixed step.

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "support/failure_injection.h"
#include "support/plugin_harness.h"

namespace vamu::testing {
namespace {

// Rendered once, with the layer table of the control.
struct Zooming : PluginHarness {
    explicit Zooming(double width = 320, double height = 240) : PluginHarness(u"C:\\UIV", width, height) {
        EXPECT_TRUE(initialize());
        EXPECT_TRUE(corners(139.0, 36.0, 140.0, 35.0));
        events->clear();
        takeTrace();
    }
    vb::Boolean zoomIn(Status& status) {
        vb::Boolean result = 7;
        status = server.ZoomIn(picMap, result);
        return result;
    }
    vb::Boolean zoomOut(Status& status) {
        vb::Boolean result = 7;
        status = server.ZoomOut(picMap, result);
        return result;
    }
    vb::Boolean pan(std::int16_t code, Status& status) {
        vb::Boolean result = 7;
        status = server.ZoomPan(picMap, code, result);
        return result;
    }
    std::u16string newestLogLine() {
        const std::u16string text = log();
        return text.substr(0, text.find(u"\r\n"));
    }
};

bool endsWith(const std::u16string& text, const std::u16string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(ZoomRequests, ZoomInStepsToTheNextEnabledLayerSkippingDisabledOnes) {
    Zooming h;
    h.store().udtLayers[8].Enabled = vb::False;
    Status status;
    EXPECT_EQ(h.zoomIn(status), vb::True);
    ASSERT_TRUE(status);
    EXPECT_EQ(h.store().intLayer, 9);
    EXPECT_EQ(h.takeTrace().at(0), "Atlas.LayerScale = " + std::to_string(h.store().udtLayers[9].LayerScale));
    EXPECT_EQ(h.events->calls().size(), 2u);
}

TEST(ZoomRequests, ZoomInStopsAtTwelveAndLogsWhy) {
    for (const std::int16_t start : std::initializer_list<std::int16_t>{12, 11}) {
        Zooming h;
        h.store().intLayer = start;
        h.store().udtLayers[12].Enabled = vb::False;  // with 11, only 13 is left above
        h.store().udtLayers[13].Enabled = vb::True;
        Status status;
        EXPECT_EQ(h.zoomIn(status), vb::False);
        EXPECT_TRUE(status);
        EXPECT_EQ(h.store().intLayer, start);
        EXPECT_TRUE(h.events->calls().empty());
        EXPECT_TRUE(h.takeTrace().empty());
        EXPECT_TRUE(endsWith(h.newestLogLine(), u": これ以上縮小できません"));
    }
}

TEST(ZoomRequests, ZoomOutStopsAtZeroAndLogsWhy) {
    Zooming h;
    for (std::size_t i = 0; i < 7; ++i) h.store().udtLayers[i].Enabled = vb::False;
    Status status;
    EXPECT_EQ(h.zoomOut(status), vb::False);
    EXPECT_TRUE(status);
    EXPECT_EQ(h.store().intLayer, 7);
    EXPECT_TRUE(endsWith(h.newestLogLine(), u": これ以上広域にはできません"));

    h.store().udtLayers[0].Enabled = vb::True;
    EXPECT_EQ(h.zoomOut(status), vb::True);
    EXPECT_EQ(h.store().intLayer, 0);
    EXPECT_EQ(h.zoomOut(status), vb::False);
}

TEST(ZoomRequests, AFailedRedrawAfterAZoomKeepsTheNewLayer) {
    Zooming h;
    FailureInjection failures(*h.events);
    failures.fail(native::EventMethod::SignalInformation, RuntimeError(ErrorNumber::ObjectNotSet));
    Status status;
    EXPECT_EQ(h.zoomIn(status), vb::False);
    EXPECT_EQ(status.error->number(), 91);
    EXPECT_EQ(h.store().intLayer, 8);
}

TEST(ZoomRequests, PanMovesTheOverviewByTheStepInEachDirection) {
    struct Case {
        std::int16_t code;
        int north, east;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{1, 0, -1}, Case{2, 0, 1}, Case{4, 1, 0}, Case{5, 1, -1},
                          Case{6, 1, 1}, Case{8, -1, 0}, Case{9, -1, -1}, Case{10, -1, 1}}) {
        Zooming h;
        std::int32_t lat = 0, lng = 0;
        h.widgets().atlas().pixelToLatLng(160, 120, lat, lng);
        Status status;
        EXPECT_EQ(h.pan(c.code, status), vb::True) << c.code;
        const auto trace = h.takeTrace();
        ASSERT_GE(trace.size(), 2u);
        EXPECT_EQ(trace[1], "miniAtlas.SetCenter " + std::to_string(lat + 15000 * c.north) + " " +
                                std::to_string(lng + 15000 * c.east) + " 1 0")
            << c.code;
        EXPECT_EQ(h.picture->scaleMode(), 3);
        EXPECT_EQ(h.events->calls().size(), 4u);  // the overview's cycle and the request's
    }
}

TEST(ZoomRequests, UnrecognisedPanCodesRedrawWithoutMoving) {
    for (const std::int16_t code : std::initializer_list<std::int16_t>{3, 7, 11, 12, -1, 15, 32767}) {
        Zooming h;
        Status status;
        EXPECT_EQ(h.pan(code, status), vb::True) << code;
        const auto trace = h.takeTrace();
        EXPECT_TRUE(std::none_of(trace.begin(), trace.end(), [](const std::string& l) {
            return l.find("SetCenter") != std::string::npos;
        }));
        EXPECT_EQ(h.events->calls().size(), 2u);
    }
}

TEST(ZoomRequests, PanTakesTheCentrePixelRoundedHalfToEven) {
    for (const auto& [width, x] : {std::pair{501, 250}, std::pair{503, 252}}) {
        Zooming h(width, 240);
        Status status;
        h.pan(0, status);
        EXPECT_EQ(h.takeTrace().at(0).rfind("Atlas.PixelToLatLng " + std::to_string(x) + " 120 ->", 0), 0u);
    }
}

TEST(ZoomRequests, PanOverflowRaisesSixBeforeAnyCentring) {
    Zooming h;
    h.widgets().atlas().setCenter(2147480000, 500000000, 1, 0);
    h.takeTrace();
    Status status;
    EXPECT_EQ(h.pan(4, status), vb::False);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error->number(), 6);
    EXPECT_EQ(h.picture->scaleMode(), 3);
    const auto trace = h.takeTrace();
    EXPECT_EQ(trace.size(), 1u);  // the pixel read only
}

TEST(ZoomRequests, ZoomsWorkOnTheTableAsLastReloaded) {
    Zooming h;
    // A control that now offers fewer layers: the entries above keep their
    // old contents and can still be chosen until a reload overwrites them.
    h.widgets().atlas().catalogue() = {layeredDataSet(3)};
    Status status;
    EXPECT_EQ(h.zoomIn(status), vb::True);
    EXPECT_EQ(h.store().intLayer, 8);
}

TEST(ZoomRequests, AControlRejectingTheScaleLeavesTheLayerUnchanged) {
    Zooming h;
    h.store().udtLayers[8].LayerScale = 0;  // a scale the control refuses
    h.store().udtLayers[6].LayerScale = -1;
    Status status;
    EXPECT_EQ(h.zoomIn(status), vb::False);
    EXPECT_EQ(status.error->number(), 380);
    EXPECT_EQ(h.store().intLayer, 7);
    EXPECT_EQ(h.zoomOut(status), vb::False);
    EXPECT_EQ(status.error->number(), 380);
    EXPECT_EQ(h.store().intLayer, 7);
    EXPECT_TRUE(h.events->calls().empty());
}

}  // namespace
}  // namespace vamu::testing
