#include "engine/store.h"

#include <gtest/gtest.h>

#include <memory>

#include "contracts/runtime_error.h"
#include "support/error_of.h"

namespace vamu {
namespace {

using testing::errorOf;

TEST(Store, StartsEmptyAsWhenThePlugInIsLoaded) {
    const Store s;
    EXPECT_TRUE(s.strUIVPath.empty() && s.strMapFile.empty() && s.strInfo.empty() && s.strTitle.empty());
    EXPECT_FALSE(s.frmHost || s.picHost || s.objEvents);
    EXPECT_EQ(s.intLayer, 0);
    EXPECT_EQ(s.intLayerCount, 0);
    EXPECT_EQ(s.lngPanStep, 0);
    EXPECT_EQ(s.blnCanZoomIn, vb::False);
    EXPECT_EQ(s.blnCanZoomOut, vb::False);
    EXPECT_EQ(s.dblMapX1 + s.dblMapY1 + s.dblMapX2 + s.dblMapY2, 0.0);
    ASSERT_EQ(s.udtLayers.size(), 14u);
    for (const LayerInfo& l : s.udtLayers) {
        EXPECT_TRUE(l.Title.empty());
        EXPECT_EQ(l.LayerScale, 0);
        EXPECT_EQ(l.LayerID, 0);
        EXPECT_EQ(l.Enabled, vb::False);
    }
}

TEST(Store, LayerSubscriptIsCheckedAtBothEnds) {
    Store s;
    s.layer(0).Title = u"全国";
    s.layer(13).LayerScale = 5000;
    EXPECT_EQ(s.udtLayers[0].Title, u"全国");
    EXPECT_EQ(s.udtLayers[13].LayerScale, 5000);
    EXPECT_EQ(errorOf([&] { s.layer(14); }), 9);
    EXPECT_EQ(errorOf([&] { s.layer(-1); }), 9);
    EXPECT_EQ(errorOf([&] { s.layer(INT32_MIN); }), 9);
}

// The caller's copy keeps the object alive when the field is replaced
// while the call is still using it.
TEST(Store, RequiredReferenceRaisesObjectNotSetAndKeepsTheObject) {
    std::shared_ptr<int> field;
    EXPECT_EQ(errorOf([&] { requiredRef(field); }), 91);
    field = std::make_shared<int>(7);
    const auto held = requiredRef(field);
    field = std::make_shared<int>(8);
    EXPECT_EQ(*held, 7);
    EXPECT_EQ(held.use_count(), 1);
}

}  // namespace
}  // namespace vamu
