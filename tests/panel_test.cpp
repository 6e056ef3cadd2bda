// The control panel: load order, data set selection, closing, the layer
// table and buttons, clicks and the overview's position event.

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "engine/layer_selection.h"
#include "support/plugin_harness.h"

namespace vamu::testing {
namespace {

std::vector<std::string> linesStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
    std::vector<std::string> out;
    for (const auto& line : lines) {
        if (line.rfind(prefix, 0) == 0) out.push_back(line);
    }
    return out;
}

TEST(Panel, LoadsBeforeItSelectsTheDataSetAndComposesTheBitmapPath) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    const auto trace = h.takeTrace();
    ASSERT_GE(trace.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(trace.begin(), trace.begin() + 7),
              (std::vector<std::string>{
                  "miniAtlas.OverviewMode = True", "miniAtlas.SetDisplayOption 1 \".\" 1",
                  "Atlas.SetDisplayOption 1 \".\" 0", "Atlas.Areas", "Atlas.Areas.Item 0 -> \"RDW2010\"",
                  "miniAtlas.AreaCode = \"RDW2010\"", "Atlas.AreaCode = \"RDW2010\""}));
    EXPECT_EQ(h.widgets().window().caption(), u"Mapserver by Vamu");
    EXPECT_EQ(h.widgets().window().borderStyle(), 1);
    EXPECT_TRUE(h.widgets().window().visible());
    EXPECT_EQ(h.platform.host().automationsCreated(), 1);
    EXPECT_EQ(h.store().strUIVPath, u"C:\\UIV");
    EXPECT_EQ(h.store().strMapFile, u"C:\\UIV\\MAPS\\!!vamuMapserver.bmp");
}

TEST(Panel, BitmapPathHasOneBackslashAfterADirectoryEndingInOne) {
    PluginHarness h(u"C:\\UIV\\");
    ASSERT_TRUE(h.initialize());
    EXPECT_EQ(h.store().strMapFile, u"C:\\UIV\\MAPS\\!!vamuMapserver.bmp");
}

struct DataSetCase {
    std::vector<std::u16string> codes;
    std::vector<std::string> itemsRead;
    bool selected;
};

void PrintTo(const DataSetCase& c, std::ostream* os) {
    *os << c.codes.size() << " data sets, " << (c.selected ? "selected" : "asked for");
}

class PanelDataSet : public ::testing::TestWithParam<DataSetCase> {};

TEST_P(PanelDataSet, SelectsRdw2010OrAsksForIt) {
    PluginHarness h;
    auto& catalogue = h.platform.panels().catalogue();
    catalogue.clear();
    for (const auto& code : GetParam().codes) catalogue.push_back(layeredDataSet(3, code));
    ASSERT_TRUE(h.initialize());
    const auto trace = h.takeTrace();
    EXPECT_EQ(linesStartingWith(trace, "Atlas.Areas.Item"), GetParam().itemsRead);
    const auto areaCodes = linesStartingWith(trace, "miniAtlas.AreaCode");
    const auto& shown = h.platform.messages().shown();
    if (GetParam().selected) {
        EXPECT_TRUE(shown.empty());
        const auto first = std::find(trace.begin(), trace.end(), "miniAtlas.AreaCode = \"RDW2010\"");
        const auto second = std::find(trace.begin(), trace.end(), "Atlas.AreaCode = \"RDW2010\"");
        EXPECT_LT(first, second);
        EXPECT_NE(second, trace.end());
    } else {
        EXPECT_TRUE(areaCodes.empty());
        EXPECT_TRUE(linesStartingWith(trace, "Atlas.AreaCode").empty());
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, u"ProAtlas2002全国版DVDをインストールしてください");
        EXPECT_FALSE(shown[0].title.has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Collections, PanelDataSet,
    ::testing::Values(DataSetCase{{}, {}, false},
                      DataSetCase{{u"KANTO", u"RDW2010", u"KINKI"},
                                  {"Atlas.Areas.Item 0 -> \"KANTO\"", "Atlas.Areas.Item 1 -> \"RDW2010\""},
                                  true},
                      DataSetCase{{u"rdw2010"}, {"Atlas.Areas.Item 0 -> \"rdw2010\""}, false}));

TEST(Panel, ClosingHidesTheSamePanelAndShowingBringsItBackUnchanged) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    auto& widgets = h.widgets();
    const std::u16string log = h.log();
    const std::int32_t lat = widgets.miniAtlas().centreLat();

    EXPECT_FALSE(widgets.window().requestClose());
    EXPECT_FALSE(widgets.window().visible());
    EXPECT_FALSE(widgets.window().unloaded());

    ASSERT_TRUE(h.server.ShowControlPanel());
    EXPECT_EQ(&h.widgets(), &widgets);
    EXPECT_EQ(h.platform.panels().createdCount(), 1);
    EXPECT_TRUE(widgets.window().visible());
    EXPECT_EQ(h.log(), log);
    EXPECT_EQ(widgets.miniAtlas().centreLat(), lat);
}

// The layer table after a render cycle with a control offering n layers.
struct LayerCountCase {
    int layers;
    bool renders;
};

void PrintTo(const LayerCountCase& c, std::ostream* os) { *os << c.layers << " layers"; }

class PanelLayerCount : public ::testing::TestWithParam<LayerCountCase> {};

TEST_P(PanelLayerCount, FillsTheTableAndShowsOneButtonPerLayer) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    const int n = GetParam().layers;
    h.widgets().atlas().catalogue() = {layeredDataSet(n)};
    const Status status = h.corners(139.0, 36.0, 140.0, 35.0);
    auto& buttons = h.widgets().options();
    const Store& store = h.store();
    if (!GetParam().renders) {
        ASSERT_FALSE(status);
        EXPECT_EQ(status.error->number(), 9);
        EXPECT_EQ(store.intLayerCount, n);
        EXPECT_EQ(store.udtLayers[13].Title, u"L13");  // filled before the failure
        EXPECT_TRUE(h.events->calls().empty());
        return;
    }
    ASSERT_TRUE(status) << status.error->what();
    EXPECT_EQ(store.intLayerCount, n);
    for (std::int16_t i = 0; i < 13; ++i) {
        EXPECT_EQ(buttons.button(i).visible(), i < n) << i;
        EXPECT_EQ(buttons.button(i).caption(), store.udtLayers[static_cast<std::size_t>(i)].Title) << i;
    }
    EXPECT_TRUE(buttons.button(7).value());
    if (n == 14) {
        EXPECT_EQ(store.udtLayers[13].Title, u"L13");
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, PanelLayerCount,
                         ::testing::Values(LayerCountCase{0, true}, LayerCountCase{5, true},
                                           LayerCountCase{13, true}, LayerCountCase{14, true},
                                           LayerCountCase{15, false}));

TEST(Panel, FewerLayersLeaveTheOldEntriesAndHideTheirButtons) {
    PluginHarness h;
    h.platform.panels().catalogue() = {layeredDataSet(10)};
    ASSERT_TRUE(h.initialize());
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    auto six = layeredDataSet(6);
    for (auto& layer : six.layers) layer.title = u"new " + layer.title;
    h.widgets().atlas().catalogue() = {six};
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));

    const Store& store = h.store();
    EXPECT_EQ(store.intLayerCount, 6);
    EXPECT_EQ(store.udtLayers[5].Title, u"new L5");
    EXPECT_EQ(store.udtLayers[6].Title, u"L6");
    EXPECT_EQ(store.udtLayers[9].Title, u"L9");
    EXPECT_EQ(store.udtLayers[9].Enabled, vb::True);
    EXPECT_EQ(store.udtLayers[10].Title, u"");
    auto& buttons = h.widgets().options();
    for (std::int16_t i = 0; i < 13; ++i) EXPECT_EQ(buttons.button(i).visible(), i < 6) << i;
    // Hidden buttons still carry their entry's title and state.
    EXPECT_EQ(buttons.button(8).caption(), u"L8");
    EXPECT_TRUE(buttons.button(8).enabled());
}

TEST(Panel, ADisabledLayerShowsADisabledButton) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    auto set = layeredDataSet(13);
    set.layers[4].enabled = false;
    h.widgets().atlas().catalogue() = {set};
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    auto& button = h.widgets().options().button(4);
    EXPECT_TRUE(button.visible());
    EXPECT_FALSE(button.enabled());
    EXPECT_EQ(h.store().udtLayers[4].Enabled, vb::False);
}

TEST(Panel, AClickOnAButtonSwitchesTheMainMapAndPublishes) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    h.events->clear();
    h.takeTrace();

    ASSERT_TRUE(h.widgets().options().click(3));
    EXPECT_TRUE(h.panel().lastEventStatus());
    const auto trace = h.takeTrace();
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[0], "Atlas.Layers");  // the table is reloaded first
    EXPECT_EQ(trace[1], "Atlas.LayerScale = " + std::to_string(h.store().udtLayers[3].LayerScale));
    EXPECT_EQ(h.store().intLayer, 3);
    EXPECT_EQ(h.widgets().atlas().layerScale(), h.store().udtLayers[3].LayerScale);
    EXPECT_EQ(h.events->calls().size(), 2u);
    EXPECT_TRUE(h.widgets().options().button(3).value());
    EXPECT_FALSE(h.widgets().options().button(7).value());
}

TEST(Panel, SelectLayerOutsideTheTableChangesNothing) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    h.events->clear();
    h.takeTrace();
    std::int16_t index = 14;
    EXPECT_EQ(errorOf([&] { SelectLayer(h.module, index); }), 9);
    EXPECT_EQ(h.store().intLayer, 7);
    EXPECT_TRUE(h.takeTrace().empty());
    EXPECT_TRUE(h.events->calls().empty());
}

TEST(Panel, SelectLayerThirteenOnADisabledEntryPublishesWithNoButtonSelected) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    auto set = layeredDataSet(14);
    set.layers[13].enabled = false;
    h.widgets().atlas().catalogue() = {set};
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    h.events->clear();
    std::int16_t index = 13;
    SelectLayer(h.module, index);
    EXPECT_EQ(h.store().intLayer, 13);
    EXPECT_EQ(h.widgets().atlas().layerScale(), 14000);
    EXPECT_EQ(h.events->calls().size(), 2u);
    for (std::int16_t i = 0; i < 13; ++i) EXPECT_FALSE(h.widgets().options().button(i).value()) << i;
}

TEST(Panel, OverviewPositionCentresPublishesAndReloadsInThatOrder) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    ASSERT_TRUE(h.widgets().window().requestClose() == false);  // hidden: still steers
    h.events->clear();
    h.takeTrace();

    h.widgets().miniAtlas().scrollBy(10, 0);
    EXPECT_TRUE(h.panel().lastEventStatus());
    const auto trace = h.takeTrace();
    const std::int32_t lat = h.widgets().miniAtlas().centreLat();
    const std::int32_t lng = h.widgets().miniAtlas().centreLng();
    ASSERT_GE(trace.size(), 3u);
    EXPECT_EQ(trace[0],
              "miniAtlas.PositionChanged " + std::to_string(lat) + " " + std::to_string(lng) + " 0");
    EXPECT_EQ(trace[1], "Atlas.SetCenter " + std::to_string(lat) + " " + std::to_string(lng) + " 1 0");
    EXPECT_EQ(trace[2], "Atlas.CopyToClipboard");
    EXPECT_EQ(trace.back(), "Atlas.Layers");  // the reload after publishing
    EXPECT_EQ(h.events->calls().size(), 2u);
    EXPECT_EQ(h.widgets().atlas().centreLat(), lat);
}

TEST(Panel, OverviewEventIgnoresItsThirdArgumentAndRepublishesTheSamePoint) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    h.events->clear();
    h.takeTrace();
    h.panel().miniAtlas_PositionChanged(127800000, 502200000, 0);
    const auto first = h.takeTrace();
    h.panel().miniAtlas_PositionChanged(127800000, 502200000, 12345);
    EXPECT_EQ(h.takeTrace(), first);
    ASSERT_EQ(h.events->calls().size(), 4u);
    EXPECT_EQ(h.events->calls()[0].x1, h.events->calls()[2].x1);
}

TEST(Panel, SelectLayerOnAScaleTheControlRejectsHasAlreadyChangedTheLayer) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    h.events->clear();
    const std::int32_t before = h.widgets().atlas().layerScale();
    h.store().udtLayers[3].LayerScale = 0;
    std::int16_t index = 3;
    EXPECT_EQ(errorOf([&] { SelectLayer(h.module, index); }), 380);
    EXPECT_EQ(h.store().intLayer, 3);
    EXPECT_EQ(h.widgets().atlas().layerScale(), before);
    EXPECT_TRUE(h.events->calls().empty());
}

TEST(Panel, AClickOnTheSelectedButtonReloadsAndPublishesAgain) {
    PluginHarness h;
    ASSERT_TRUE(h.initialize());
    ASSERT_TRUE(h.corners(139.0, 36.0, 140.0, 35.0));
    ASSERT_TRUE(h.widgets().options().button(7).value());
    h.events->clear();
    h.takeTrace();
    ASSERT_TRUE(h.widgets().options().click(7));
    EXPECT_TRUE(h.panel().lastEventStatus());
    const auto trace = h.takeTrace();
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[0], "Atlas.Layers");
    EXPECT_EQ(trace[1], "Atlas.LayerScale = " + std::to_string(h.store().udtLayers[7].LayerScale));
    EXPECT_EQ(h.events->calls().size(), 2u);
    EXPECT_TRUE(h.widgets().options().button(7).value());
}

}  // namespace
}  // namespace vamu::testing
