#include "engine/conversions.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

namespace vamu {
namespace {

std::uint64_t bits(double d) { return std::bit_cast<std::uint64_t>(d); }

TEST(Conversions, WorkedExampleRoundsToTheBit) {
    double lat = 0, lng = 0;
    WGS84ToTokyo(35.0, 139.0, lat, lng);
    EXPECT_EQ(bits(lat), bits(34.996713687));
    EXPECT_EQ(bits(lng), bits(139.003114456));
    EXPECT_EQ(DegToMsec(lat), 125988169);
    EXPECT_EQ(DegToMsec(lng), 500411212);
    EXPECT_EQ(bits(MsecToDeg(125988169)), bits(34.99666666666667));
    EXPECT_EQ(bits(MsecToDeg(500411212)), bits(139.00305555555556));
    double wlat = 0, wlng = 0;
    TokyoToWGS84(34.99666666666667, 139.00305555555556, wlat, wlng);
    EXPECT_EQ(bits(wlat), bits(34.9999530225289));
    EXPECT_EQ(bits(wlng), bits(138.99994114827308));
    TokyoToWGS84(35.0, 139.0, wlat, wlng);
    EXPECT_EQ(bits(wlat), bits(35.003285946000005));
    EXPECT_EQ(bits(wlng), bits(138.996885693));
}

}  // namespace
}  // namespace vamu
