// The replacement map control's data sets and layers as callers read them.

#include <set>
#include <string>

#include "contracts/text.h"
#include "mapcontrol_fixture.h"

namespace vamu::mapcontrol {
namespace {

using namespace fixture;

class MapControlCollections : public MapControlFixture {
protected:
    std::unique_ptr<MapLayer> layer(std::int32_t i) { return control.layers()->item(i); }
};

TEST_F(MapControlCollections, AreasListTheCatalogueZeroBased) {
    auto areas = control.areas();
    ASSERT_GE(areas->count(), 2);
    std::int32_t i = 0;
    EXPECT_EQ(areas->item(i)->areaCode(), u"RDW2010");
    std::set<std::u16string> codes;
    for (i = 0; i < areas->count(); ++i) codes.insert(areas->item(i)->areaCode());
    EXPECT_EQ(codes.size(), static_cast<std::size_t>(areas->count()));
    for (std::int32_t bad : {-1, areas->count()}) {
        EXPECT_EQ(errorOf([&] { areas->item(bad); }), 9) << bad;
    }
}

TEST_F(MapControlCollections, NationwideLayersRunFromOverviewToStreet) {
    auto layers = control.layers();
    ASSERT_EQ(layers->count(), 13);
    std::set<std::int32_t> ids;
    std::int32_t previous = 0;
    for (std::int32_t i = 0; i < 13; ++i) {
        auto l = layers->item(i);
        EXPECT_FALSE(l->title().empty());
        EXPECT_TRUE(l->enabled());
        if (i > 0) {
            EXPECT_LT(l->layerScale(), previous) << i;
        }
        previous = l->layerScale();
        EXPECT_TRUE(l->layerID() >= -32768 && l->layerID() <= 32767);
        ids.insert(l->layerID());
    }
    EXPECT_EQ(ids.size(), 13u);
    EXPECT_EQ(layer(0)->layerScale(), 5000000);
    EXPECT_EQ(layer(0)->title(), u"全国 1/500万");
    EXPECT_LE(previous, 1000);
}

TEST_F(MapControlCollections, ConfiguredLayerCountsAreReportedAsTheyAre) {
    for (std::int32_t n : {0, 5, 13, 14, 15}) {
        std::vector<LayerSpec>& specs = control.catalogue()[0].layers;
        specs.clear();
        for (std::int32_t i = 0; i < n; ++i)
            specs.push_back({fromUtf8("L" + std::to_string(i)), 1000 + i, i, true});
        auto layers = control.layers();
        EXPECT_EQ(layers->count(), n);
        std::int32_t last = n - 1;
        if (n > 0) {
            EXPECT_EQ(layers->item(last)->title(), fromUtf8("L" + std::to_string(n - 1)));
        }
        EXPECT_EQ(errorOf([&] { layers->item(n); }), 9) << n;
    }
}

TEST_F(MapControlCollections, LayerFieldsPassUnchanged) {
    control.catalogue()[0].layers[3] = {u"off", 123456, 70000, false};
    auto l = layer(3);
    EXPECT_EQ(l->title(), u"off");
    EXPECT_EQ(l->layerScale(), 123456);
    EXPECT_EQ(l->layerID(), 70000);  // the caller narrows, and overflows
    EXPECT_FALSE(l->enabled());
}

TEST_F(MapControlCollections, AreaCodeChoosesTheLayers) {
    control.setAreaCode(u"RKT2010");
    EXPECT_EQ(control.layers()->count(), static_cast<std::int32_t>(control.catalogue()[1].layers.size()));
    for (const char16_t* unknown : {u"XYZ", u"rdw2010", u""}) {
        control.setAreaCode(unknown);
        EXPECT_EQ(control.areaCode(), unknown);
        EXPECT_EQ(control.layers()->count(), 0);
        EXPECT_EQ(control.areas()->count(), 2);
    }
    control.setAreaCode(u"RDW2010");
    EXPECT_EQ(control.layers()->count(), 13);
}

}  // namespace
}  // namespace vamu::mapcontrol
