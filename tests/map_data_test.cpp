// The built-in map data set: it loads within its budgets, and a damaged or
// missing one is refused with a clear error, so that the control offers no
// "RDW2010" and the panel asks for the data instead of drawing nonsense.

#include <gtest/gtest.h>

#include <vector>

#include "mapcontrol/map_data.h"
#include "mapcontrol/map_data_format.h"
#include "mapcontrol/map_drawing.h"
#include "mapcontrol/replacement_map_control.h"
#include "support/plugin_harness.h"

namespace vamu::mapcontrol {
namespace {

std::vector<std::uint8_t> builtIn() {
    const auto bytes = builtInMapDataBytes();
    return {bytes.begin(), bytes.end()};
}

// The set with its checksum made right again after a change, so that the
// change reaches the decoder.
std::vector<std::uint8_t> resealed(std::vector<std::uint8_t> bytes) {
    const std::span<const std::uint8_t> payload(bytes.data() + mapdata::kHeaderBytes,
                                                bytes.size() - mapdata::kHeaderBytes);
    const std::uint32_t crc = mapdata::crc32(payload);
    for (int i = 0; i < 4; ++i)
        bytes[12 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (8 * i));
    return bytes;
}

TEST(MapData, BuiltInSetLoadsWithAllItsParts) {
    const MapDataLoad& load = builtInMapData();
    ASSERT_NE(load.data, nullptr) << load.error;
    EXPECT_LE(builtInMapDataBytes().size(), 8u * 1024 * 1024);
    EXPECT_LE(load.data->bytes(), 50u * 1024 * 1024);
    for (std::size_t r = 0; r < kResolutionCount; ++r) {
        for (Layer layer : {Layer::Shore, Layer::Rivers, Layer::Borders}) {
            EXPECT_FALSE(load.data->geometry(layer, static_cast<Resolution>(r)).bins.empty()) << r;
        }
    }
    EXPECT_LE(load.data->bytes(), 50u * 1024 * 1024);
    EXPECT_GT(load.data->places().size(), 500u);
    ASSERT_FALSE(load.data->fonts().empty());
    EXPECT_NE(load.data->fonts()[0].find(U'°'), nullptr);
    EXPECT_NE(load.data->fonts()[0].find(U'©'), nullptr);
}

TEST(MapData, DamagedOrMissingSetsAreRefusedWithAReason) {
    const std::vector<std::uint8_t> good = builtIn();
    std::vector<std::vector<std::uint8_t>> bad;
    bad.emplace_back();                                 // missing
    bad.emplace_back(good.begin(), good.begin() + 10);  // shorter than its header
    bad.emplace_back(good.begin(), good.end() - 1);     // truncated
    bad.push_back(good);
    bad.back()[0] = 'X';  // not a data set
    bad.push_back(good);
    bad.back()[4] = 99;  // a later format
    bad.push_back(good);
    bad.back()[good.size() / 2] ^= 0x40;  // one bit flipped
    bad.push_back(good);
    bad.back().push_back(0);  // trailing byte
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const MapDataLoad load = loadMapData(bad[i]);
        EXPECT_EQ(load.data, nullptr) << i;
        EXPECT_NE(load.error.find("map data set"), std::string::npos) << i << ": " << load.error;
        EXPECT_TRUE(catalogueFor(load).empty()) << i;
    }
}

// Changes that keep the checksum right: the decoder must stop at every
// inconsistency instead of reading past its data or allocating without end,
// and a set it opens must draw at every resolution.
TEST(MapData, CorruptContentWithAValidChecksumNeverCrashes) {
    const std::vector<std::uint8_t> good = builtIn();
    int refused = 0;
    for (std::size_t at = mapdata::kHeaderBytes; at < good.size(); at += good.size() / 23) {
        for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
            std::vector<std::uint8_t> bytes = good;
            bytes[at] = value;
            const MapDataLoad load = loadMapData(resealed(bytes));
            if (!load.data) {
                ++refused;
                EXPECT_FALSE(load.error.empty());
                continue;
            }
            for (std::int32_t scale : {5000000, 1000000, 250000, 25000}) {
                const View view{35 * 3600000, 139 * 3600000, scale, 160, 120};
                EXPECT_EQ(drawMap(view, {load.data.get(), false}).pixels.size(), 160u * 120u);
            }
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(MapData, WithoutUsableDataThePanelAsksForTheDataSetAndStillDraws) {
    testing::PluginHarness h;
    h.platform.panels().catalogue() = catalogueFor(loadMapData({}));
    ASSERT_TRUE(h.initialize());
    const auto& shown = h.platform.messages().shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, u"ProAtlas2002全国版DVDをインストールしてください");
    EXPECT_TRUE(h.corners(139.5, 35.9, 140.0, 35.5));
}

}  // namespace
}  // namespace vamu::mapcontrol
