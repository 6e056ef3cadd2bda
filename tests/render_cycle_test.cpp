// The render-and-publish cycle: what reaches the host, in which order, and
// what stays done when a step fails.

#include <gtest/gtest.h>

#include "contracts/text.h"
#include "engine/conversions.h"
#include "engine/render_cycle.h"
#include "native/bmp_codec.h"
#include "native/atomic_file.h"
#include "support/failure_injection.h"
#include "support/plugin_harness.h"

namespace vamu::testing {
namespace {

constexpr char16_t kSuffix[] = u"   地図を読み込んでいます...";

// Initialized, with the host's picture box adopted by a first drawing.
struct Rendered : PluginHarness {
    Rendered() {
        EXPECT_TRUE(initialize());
        EXPECT_TRUE(corners(139.0, 36.0, 140.0, 35.0));
        events->clear();
        takeTrace();
    }
};

TEST(RenderCycle, PublishesPictureFileCornersAndLogLine) {
    Rendered h;
    std::filesystem::remove(h.mapFile());
    RefreshMap(h.module);

    // The file holds the captured picture at the host picture's size.
    const Image saved = native::decodeBmp(native::readWholeFile(h.mapFile()));
    EXPECT_EQ(saved.width, 320);
    EXPECT_EQ(saved.height, 240);
    ASSERT_TRUE(h.picture->picture());
    EXPECT_FALSE(h.picture->picture()->isEmpty());

    const auto trace = h.takeTrace();
    ASSERT_GE(trace.size(), 3u);
    EXPECT_EQ(trace[0], "Atlas.CopyToClipboard");
    EXPECT_EQ(trace[1].substr(0, 26), "Atlas.PixelToLatLng 0 0 ->");
    EXPECT_EQ(trace[2].substr(0, 30), "Atlas.PixelToLatLng 320 240 ->");

    ASSERT_EQ(h.events->calls().size(), 2u);
    const auto& info = h.events->calls()[0];
    EXPECT_EQ(info.method, native::EventMethod::SignalInformation);
    EXPECT_LT(info.x1, info.x2);  // west to east
    EXPECT_GT(info.y1, info.y2);  // north to south
    EXPECT_EQ(info.x1, h.store().dblMapX1);
    EXPECT_EQ(info.info, u"Mapserver by Vamu  " + h.store().udtLayers[7].Title);
    EXPECT_EQ(h.events->calls()[1].method, native::EventMethod::SignalSpecialRedraw);

    const std::u16string log = h.log();
    const auto firstLine = log.substr(0, log.find(u"\r\n"));
    EXPECT_NE(
        firstLine.find(u": マップを更新->" + h.store().udtLayers[7].Title + u"(" + u"25000" + u") に変更"),
        std::u16string::npos)
        << toUtf8(firstLine);
}

TEST(RenderCycle, CornersAreWholeTokyoSecondsShiftedToWgs84) {
    Rendered h;
    RefreshMap(h.module);
    std::int32_t lat = 0, lng = 0;
    h.widgets().atlas().pixelToLatLng(0, 0, lat, lng);
    double y = 0, x = 0;
    const double tokyoLat = MsecToDeg(lat);
    const double tokyoLng = MsecToDeg(lng);
    TokyoToWGS84(tokyoLat, tokyoLng, y, x);
    EXPECT_EQ(h.store().dblMapY1, y);
    EXPECT_EQ(h.store().dblMapX1, x);
}

TEST(RenderCycle, EachCycleAppendsAnotherCaptionSuffix) {
    Rendered h;
    h.form->setCaption(u"UI-View32");
    RefreshMap(h.module);
    RefreshMap(h.module);
    EXPECT_EQ(h.form->currentCaption(), std::u16string(u"UI-View32") + kSuffix + kSuffix);
}

TEST(RenderCycle, WhatTheHostWritesIntoTheArgumentsLandsInTheStore) {
    Rendered h;
    h.events->onSignalInformation([](double& x1, double&, double&, double&, std::u16string& info) {
        x1 = 1.25;
        info = u"changed by the host";
    });
    RefreshMap(h.module);
    EXPECT_EQ(h.store().dblMapX1, 1.25);
    EXPECT_EQ(h.store().strInfo, u"changed by the host");
    ASSERT_EQ(h.events->calls().size(), 2u);
    EXPECT_EQ(h.events->calls()[1].info, u"changed by the host");
}

TEST(RenderCycle, AnEmptyLayerTitleLeavesTwoSpacesAfterTheTitle) {
    Rendered h;
    h.widgets().atlas().catalogue() = {layeredDataSet(3)};
    RefreshMap(h.module);  // layer 7 is no longer written by the reload...
    h.store().udtLayers[7].Title.clear();
    RefreshMap(h.module);
    EXPECT_EQ(h.store().strInfo, u"Mapserver by Vamu  ");
}

TEST(RenderCycle, NoBitmapOnTheClipboardClearsTheHostPictureAndCompletes) {
    Rendered h;
    const std::string before = readBytes(h.mapFile());
    h.clipboard.lose = true;
    RefreshMap(h.module);
    ASSERT_EQ(h.platform.messages().shown().size(), 1u);
    EXPECT_EQ(h.platform.messages().shown()[0].text, u"保存できませんでした");
    EXPECT_FALSE(h.platform.messages().shown()[0].title);
    EXPECT_EQ(h.picture->picture(), nullptr);
    EXPECT_EQ(readBytes(h.mapFile()), before);
    EXPECT_EQ(h.events->calls().size(), 2u);
}

TEST(RenderCycle, FailsAtTheFirstUseOfAMissingHostReference) {
    {  // no Initialize: nothing changes
        PluginHarness h;
        EXPECT_EQ(errorOf([&] { RefreshMap(h.module); }), 91);
        EXPECT_FALSE(h.module.hasPanel());
    }
    {  // no DrawMapFromCorners: the picture is shown, then error 91
        PluginHarness h;
        ASSERT_TRUE(h.initialize());
        EXPECT_EQ(errorOf([&] { RefreshMap(h.module); }), 91);
        EXPECT_EQ(h.form->currentCaption().find(kSuffix) != std::u16string::npos, true);
        ASSERT_TRUE(h.picture->picture());
        EXPECT_FALSE(h.picture->picture()->isEmpty());
        EXPECT_TRUE(std::filesystem::exists(h.mapFile()));
        EXPECT_EQ(h.store().dblMapX1, 0.0);
        EXPECT_TRUE(h.events->calls().empty());
    }
}

TEST(RenderCycle, WithoutAnEventsObjectTheCornersAreWrittenBeforeError91) {
    PluginHarness h;
    std::u16string call = u"JA1VAM";
    ObjectRef none;
    ObjectRef form = h.form;
    ASSERT_TRUE(h.server.Initialize(call, none, form));
    const Status status = h.corners(139.0, 36.0, 140.0, 35.0);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error->number(), 91);
    EXPECT_NE(h.store().dblMapX1, 0.0);
    EXPECT_EQ(h.store().strInfo, u"Mapserver by Vamu  " + h.store().udtLayers[7].Title);
    EXPECT_EQ(h.log(), u"");
}

TEST(RenderCycle, ACurrentLayerOutsideTheTableFailsAfterTheCorners) {
    Rendered h;
    h.store().dblMapX1 = 0.0;
    h.store().intLayer = 14;
    EXPECT_EQ(errorOf([&] { RefreshMap(h.module); }), 9);
    EXPECT_NE(h.store().dblMapX1, 0.0);
    EXPECT_TRUE(h.events->calls().empty());
}

TEST(RenderCycle, AHostThatFailsSignalInformationEndsTheCycleThere) {
    Rendered h;
    const std::u16string log = h.log();
    FailureInjection failures(*h.events);
    failures.fail(native::EventMethod::SignalInformation, RuntimeError::foreign(0x80004005u, u"host failed"));
    try {
        RefreshMap(h.module);
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.hresult(), 0x80004005u);
    }
    EXPECT_EQ(h.events->calls().size(), 1u);
    EXPECT_EQ(h.log(), log);
}

TEST(RenderCycle, AMissingMapsFolderFailsTheSaveWithTheEarlierStepsDone) {
    Rendered h;
    const std::u16string log = h.log();
    const double x1 = h.store().dblMapX1;
    const PictureRef shown = h.picture->picture();
    std::filesystem::remove_all(h.drive / "UIV" / "MAPS");
    h.form->setCaption(u"UI-View32");

    EXPECT_EQ(errorOf([&] { RefreshMap(h.module); }), 76);
    EXPECT_EQ(h.form->currentCaption(), std::u16string(u"UI-View32") + kSuffix);
    EXPECT_TRUE(h.platform.clipboard().hasBitmap());
    EXPECT_EQ(h.picture->picture(), shown);
    EXPECT_EQ(h.store().dblMapX1, x1);
    EXPECT_EQ(h.log(), log);
    EXPECT_TRUE(h.events->calls().empty());
}

}  // namespace
}  // namespace vamu::testing
