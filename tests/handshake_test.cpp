// The handshake and the small requests: Initialize, GetSupportedFeatures,
// the settings entry, SafeCall, the menu entries and the favourites.

#include <gtest/gtest.h>

#include <initializer_list>

#include "contracts/text.h"
#include "support/plugin_harness.h"

namespace vamu::testing {
namespace {

struct Features {
    vb::Boolean diagonal = 7, zoomIn = 7, zoomOut = 7, zoomAll = 7, panel = 7;
    std::u16string helpFile, shortName;
    std::int32_t helpTopic = 0;
    std::vector<std::u16string> captions{u"a", u"b", u"c", u"d"};

    Status ask(clsMapServ& server) {
        return server.GetSupportedFeatures(diagonal, zoomIn, zoomOut, zoomAll, panel, helpFile, helpTopic,
                                           shortName, captions);
    }
};

TEST(Handshake, InitializeFillsTheStoreAndShowsThePanel) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    EXPECT_EQ(h.server.strServerName(), u"vamuServer");
    EXPECT_EQ(h.server.strMapName(), u"Atlas");
    const Store& store = h.store();
    EXPECT_EQ(store.strInfo, u"Mapserver by Vamu");
    EXPECT_EQ(store.strTitle, u"Mapserver by Vamu");
    EXPECT_EQ(store.lngPanStep, 15000);
    EXPECT_EQ(store.intLayer, 7);
    EXPECT_TRUE(store.frmHost && store.objEvents);
    EXPECT_FALSE(store.picHost);
    EXPECT_TRUE(h.widgets().window().visible());
    // The first load: no bitmap path yet, so the host's picture is cleared.
    ASSERT_TRUE(h.picture->picture());
    EXPECT_TRUE(h.picture->picture()->isEmpty());
}

TEST(Handshake, SettingsEntryIsAWellFormedPathWithOrWithoutATrailingBackslash) {
    for (const std::u16string dir : {u"C:\\UIV", u"C:\\UIV\\"}) {
        PluginHarness h(dir);
        ASSERT_TRUE(h.initialize());
        const auto trace = h.takeTrace();
        EXPECT_EQ(
            trace.back(),
            "WritePrivateProfileString \"MAPS\" \"LAST_MAP\" \"C:\\\\UIV\\\\MAPS\\\\!!vamuMapserver.inf\" "
            "\"C:\\\\UIV\\\\uiview32.ini\"");
        EXPECT_EQ(readBytes(h.drive / "UIV" / "uiview32.ini"),
                  "[MAPS]\r\nLAST_MAP=C:\\UIV\\MAPS\\!!vamuMapserver.inf\r\n");
    }
}

TEST(Handshake, AnUnwritableSettingsFileDoesNotFailTheHandshake) {
    PluginHarness h(u"C:\\NOWHERE");
    ASSERT_TRUE(h.initialize());
    EXPECT_FALSE(std::filesystem::exists(h.drive / "NOWHERE"));
}

TEST(Handshake, ASecondInitializeLoadsTheLastMapAndGreetsTheNewCallsign) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize(u"JA1AAA"));
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    h.store().intLayer = 3;
    h.store().lngPanStep = 1;
    h.picture->setPicture(nullptr);

    ASSERT_TRUE(h.initialize(u"JA2BBB"));
    EXPECT_EQ(h.platform.panels().createdCount(), 1);
    EXPECT_EQ(h.store().intLayer, 7);
    EXPECT_EQ(h.store().lngPanStep, 15000);
    ASSERT_TRUE(h.picture->picture());
    EXPECT_FALSE(h.picture->picture()->isEmpty());

    Features f;
    ASSERT_TRUE(f.ask(h.server));
    EXPECT_EQ(f.captions[1], u"Hello ! 「 JA2BBB 」");
}

TEST(Handshake, ADeletedLastMapFailsTheSecondInitializeAfterTheFormIsStored) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    std::filesystem::remove(h.mapFile());
    h.store().intLayer = 3;
    const Status status = h.initialize(u"JA2BBB");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error->number(), 53);
    EXPECT_EQ(h.store().strInfo, u"Mapserver by Vamu");  // steps before the load are done
    EXPECT_EQ(h.store().intLayer, 3);                    // and those after it are not
}

TEST(Handshake, AHostThatCannotCreateItsAutomationObjectLeavesNoEventsObject) {
    PluginHarness h;
    h.platform.host().setCanCreateAutomation(false);
    const Status status = h.initialize();
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error->number(), 429);
    EXPECT_FALSE(h.store().objEvents);
    EXPECT_EQ(h.store().lngPanStep, 0);
    EXPECT_FALSE(h.server.SafeCall());
}

TEST(Handshake, AFormWithoutPicMapFailsBeforeThePanelIsCreated) {
    PluginHarness h;
    h.form->setPicMapControl(nullptr);
    EXPECT_FALSE(h.initialize());
    EXPECT_FALSE(h.module.hasPanel());
    EXPECT_EQ(h.store().strInfo, u"Mapserver by Vamu");
}

TEST(Handshake, FeaturesAreReportedAndZoomAllIsLeftAsPassed) {
    PluginHarness h;
    Features before;
    ASSERT_TRUE(before.ask(h.server));
    EXPECT_EQ(before.captions,
              (std::vector<std::u16string>{u"ヴァムーマップサーバーHelp", u"Hello ! 「  」"}));
    EXPECT_EQ(h.store().blnCanZoomIn, vb::True);

    for (const vb::Boolean passed : {vb::True, vb::False}) {
        Features f;
        f.zoomAll = passed;
        f.captions.clear();
        ASSERT_TRUE(f.ask(h.server));
        EXPECT_EQ(f.zoomAll, passed);
        EXPECT_EQ(f.diagonal, vb::True);
        EXPECT_EQ(f.zoomIn, vb::True);
        EXPECT_EQ(f.zoomOut, vb::True);
        EXPECT_EQ(f.panel, vb::True);
        EXPECT_EQ(f.helpFile, u"c:\\test.bmp");
        EXPECT_EQ(f.helpTopic, -1);
        EXPECT_EQ(f.shortName, u"VAMU Mapserver");
        EXPECT_EQ(f.captions.size(), 2u);
    }
}

TEST(Handshake, ZoomFlagsAreFalseUntilFeaturesAreAsked) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    EXPECT_EQ(h.store().blnCanZoomIn, vb::False);
    EXPECT_EQ(h.store().blnCanZoomOut, vb::False);
}

TEST(SecondaryRequests, SafeCallRepeatsTheLastReportByReference) {
    PluginHarness h;
    EXPECT_EQ(h.server.SafeCall().error->number(), 91);  // no events object yet

    ASSERT_TRUE(h.initialize());
    ASSERT_TRUE(h.server.SafeCall());
    ASSERT_EQ(h.events->calls().size(), 1u);
    const auto& first = h.events->calls()[0];
    EXPECT_EQ(first.info, u"Mapserver by Vamu");
    EXPECT_EQ(first.x1, 0.0);
    EXPECT_EQ(first.y2, 0.0);

    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    h.events->clear();
    h.events->onSignalInformation([](double&, double&, double& y1, double&, std::u16string& info) {
        y1 = 12.5;
        info = u"seen";
    });
    const double x1 = h.store().dblMapX1;
    ASSERT_TRUE(h.server.SafeCall());
    ASSERT_EQ(h.events->calls().size(), 1u);  // no SignalSpecialRedraw
    EXPECT_EQ(h.events->calls()[0].x1, x1);
    EXPECT_EQ(h.store().dblMapY1, 12.5);
    EXPECT_EQ(h.store().strInfo, u"seen");
}

TEST(SecondaryRequests, SpecialMenuOptionShowsTheGreetingOrTheNameAndAnswersFalse) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize(u"JA1VAM"));
    for (const std::int16_t index : std::initializer_list<std::int16_t>{0, 1, 2, -1}) {
        std::int16_t i = index;
        vb::Boolean result = vb::True;
        EXPECT_TRUE(h.server.SpecialMenuOption(h.picMap, i, result));
        EXPECT_EQ(result, vb::False);
    }
    const auto& shown = h.platform.messages().shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title, std::optional<std::u16string>(u"Welcome!! JA1VAM"));
    EXPECT_EQ(shown[0].text,
              u"JA1VAMさん、こんにちは\r\nProAtlas plugin by Vamu(QQ0QQQ)をダウンロードしていただき、"
              u"ありがとうございます。\r\nこのプラグインは現在開発途中です。不具合報告お待ちしております。");
    EXPECT_EQ(shown[1].text, u"ヴァムーマップサーバー");
    EXPECT_FALSE(shown[1].title);
}

TEST(SecondaryRequests, FavouritesAreAcceptedAndSaveShowsItsName) {
    PluginHarness h;
    std::u16string view = u"view";
    std::vector<std::u16string> views{u"a", u"b"};
    EXPECT_TRUE(h.server.AddToFavouriteViews(view));
    EXPECT_TRUE(h.server.LoadFavouriteViews(views));
    EXPECT_TRUE(h.server.SaveFavouriteViews(views));
    EXPECT_EQ(view, u"view");
    EXPECT_EQ(views, (std::vector<std::u16string>{u"a", u"b"}));
    ASSERT_EQ(h.platform.messages().shown().size(), 1u);
    EXPECT_EQ(h.platform.messages().shown()[0].text, u"SaveFavouriteViews");
    EXPECT_FALSE(h.platform.messages().shown()[0].title);
}

TEST(SecondaryRequests, ZoomAllShowsItsNameAndChangesNothing) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    vb::Boolean result = vb::True;
    EXPECT_TRUE(h.server.ZoomAll(h.picMap, result));
    EXPECT_EQ(result, vb::False);
    EXPECT_EQ(h.platform.messages().shown().at(0).text, u"ZoomAll");
    EXPECT_TRUE(h.events->calls().empty());
}

TEST(Handshake, TheFirstPictureIsDrawnAtTheLayerInitializeMakesCurrent) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    const Store& store = h.store();
    const std::int32_t start = store.udtLayers[7].LayerScale;
    ASSERT_GT(start, 0);
    ASSERT_NE(start, 5000000);  // the scale stored with the panel
    EXPECT_EQ(h.widgets().atlas().layerScale(), start);

    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    const auto& first = h.events->calls().back();
    EXPECT_EQ(store.udtLayers[7].Title, u"市 1/2.5万");
    EXPECT_TRUE(first.info.ends_with(u"  市 1/2.5万")) << toUtf8(first.info);
    const double firstWidth = store.dblMapX2 - store.dblMapX1;

    // The first zoom out widens the view: a layer of a larger scale.
    vb::Boolean result = vb::False;
    ASSERT_TRUE(h.server.ZoomOut(h.picMap, result));
    EXPECT_EQ(store.intLayer, 6);
    EXPECT_GT(store.dblMapX2 - store.dblMapX1, firstWidth);
}

TEST(Handshake, ASecondInitializeBringsTheMainMapBackToLayerSeven) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    ASSERT_TRUE(h.widgets().options().click(2));
    ASSERT_TRUE(h.initialize());
    EXPECT_EQ(h.store().intLayer, 7);
    EXPECT_EQ(h.widgets().atlas().layerScale(), h.store().udtLayers[7].LayerScale);
}

TEST(Handshake, AControlWithoutLayerSevenKeepsItsScale) {
    PluginHarness h;
    h.platform.panels().catalogue() = {layeredDataSet(5)};
    ASSERT_TRUE(h.initialize());
    EXPECT_EQ(h.store().intLayerCount, 5);
    EXPECT_EQ(h.widgets().atlas().layerScale(), 5000000);
}

}  // namespace
}  // namespace vamu::testing
