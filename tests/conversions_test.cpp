#include "engine/conversions.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <utility>

#include "contracts/runtime_error.h"
#include "support/error_of.h"

namespace vamu {
namespace {

std::uint64_t bits(double d) { return std::bit_cast<std::uint64_t>(d); }

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr std::int32_t kLowestMsec = -2145600000;  // -596 degrees

using testing::errorOf;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Whole arc-seconds floored, split into degrees, minutes and seconds with
// integer arithmetic only, then put together the way the conversion does.
struct Parts {
    std::int64_t d, mm, ss;
};

Parts partsOf(std::int32_t msec) {
    const std::int64_t seconds = floorDiv(msec, 1000);
    const std::int64_t d = floorDiv(seconds, 3600);
    const std::int64_t rest = seconds - d * 3600;
    return {d, rest / 60, rest % 60};
}

double degreesOf(const Parts& p) {
    const double t = static_cast<double>(p.mm) / 60.0 + static_cast<double>(p.d);
    return static_cast<double>(p.ss) / 3600.0 + t;
}

__extension__ typedef __int128 Int128;

// floor(x * 3600000) computed exactly in 128-bit integers.
std::int64_t exactMsecFloor(double x) {
    int e = 0;
    const double f = std::frexp(x, &e);
    const auto mantissa = static_cast<std::int64_t>(std::ldexp(f, 53));
    const int shift = 53 - e;
    const Int128 n = static_cast<Int128>(mantissa) * 3600000;
    return static_cast<std::int64_t>(shift <= 0 ? n * (static_cast<Int128>(1) << -shift) : n >> shift);
}

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

TEST(Conversions, MsecToDegDropsThousandthsAndFloorsNegatives) {
    EXPECT_EQ(bits(MsecToDeg(126000999)), bits(35.0));
    EXPECT_EQ(bits(MsecToDeg(-1)), bits(-0.00027777777777782814));
    EXPECT_NE(bits(MsecToDeg(-1)), bits(-1.0 / 3600.0));
    EXPECT_EQ(bits(MsecToDeg(0)), bits(0.0));  // +0.0, not -0.0
    EXPECT_EQ(bits(MsecToDeg(999)), bits(0.0));
    EXPECT_EQ(bits(MsecToDeg(-1000)), bits(MsecToDeg(-1)));
    EXPECT_EQ(bits(MsecToDeg(-1001)), bits(degreesOf({-1, 59, 58})));
    EXPECT_EQ(bits(MsecToDeg(-3600000)), bits(-1.0));
    EXPECT_EQ(bits(MsecToDeg(125000014)), bits(34.72222222222222));
}

TEST(Conversions, DegToMsecWholeValuesAndSinglePrecisionSeconds) {
    EXPECT_EQ(DegToMsec(35.0), 126000000);
    EXPECT_EQ(DegToMsec(139.0), 500400000);
    EXPECT_EQ(DegToMsec(-0.5), -1800000);
    EXPECT_EQ(DegToMsec(0.0), 0);
    EXPECT_EQ(DegToMsec(-0.0), 0);
    // The seconds 20.014000000004444 become 20.013999938964844 as a Single.
    const double x = 125000014 / 3600000.0;
    EXPECT_EQ(bits(x), bits(34.72222611111111));
    EXPECT_EQ(DegToMsec(x), 125000013);
}

TEST(Conversions, RoundTripReturnsWholeSeconds) {
    EXPECT_EQ(DegToMsec(MsecToDeg(125000999)), 125000000);
    EXPECT_EQ(DegToMsec(MsecToDeg(125000014)), 125000000);
    EXPECT_EQ(DegToMsec(MsecToDeg(-1)), -1000);
    EXPECT_EQ(DegToMsec(MsecToDeg(-3599999)), -3600000);
}

// Every whole second over Japan and beyond, both signs: the parts are
// always in range, the degrees are the floored seconds put together with
// the same two roundings, they rise with every second, and converting back
// gives exactly the floored second.
TEST(ConversionsSweep, EverySecondOverJapanAndItsMirror) {
    for (const std::int64_t from : {20LL * 3600, 122LL * 3600, -46LL * 3600, -154LL * 3600}) {
        double previous = -kInf;
        for (std::int64_t s = from; s <= from + 32 * 3600; ++s) {
            const auto msec = static_cast<std::int32_t>(s * 1000 + ((s % 7 + 7) % 7) * 137);
            const Parts p = partsOf(msec);
            ASSERT_TRUE(p.mm >= 0 && p.mm <= 59 && p.ss >= 0 && p.ss <= 59) << msec;
            const double deg = MsecToDeg(msec);
            ASSERT_EQ(bits(deg), bits(degreesOf(p))) << msec;
            ASSERT_GT(deg, previous) << msec;
            previous = deg;
            ASSERT_EQ(DegToMsec(deg), static_cast<std::int32_t>(s * 1000)) << msec;
        }
    }
}

TEST(ConversionsSweep, MsecOverTheWholeLegalRange) {
    // An odd stride so that the thousandths, seconds and minutes all vary.
    for (std::int64_t m = kLowestMsec; m <= INT32_MAX; m += 99'991) {
        const auto msec = static_cast<std::int32_t>(m);
        const Parts p = partsOf(msec);
        ASSERT_TRUE(p.mm >= 0 && p.mm <= 59 && p.ss >= 0 && p.ss <= 59) << msec;
        const double deg = MsecToDeg(msec);
        ASSERT_EQ(bits(deg), bits(degreesOf(p))) << msec;
        ASSERT_EQ(DegToMsec(deg), floorDiv(msec, 1000) * 1000) << msec;
    }
}

// The single-precision seconds cost at most one msec either way against the
// exact floor of degrees × 3600000.
TEST(ConversionsSweep, DegToMsecWithinOneOfTheExactFloor) {
    int below = 0, above = 0;
    for (double x = -596.0; x < 596.5; x += 0.0123456789) {
        const std::int64_t diff = DegToMsec(x) - exactMsecFloor(x);
        ASSERT_LE(std::abs(diff), 1) << x;
        below += diff < 0;
        above += diff > 0;
    }
    // Both directions really occur: a Single can round either way.
    EXPECT_GT(below, 0);
    EXPECT_GT(above, 0);
}

// WGS84 → Tokyo → msec → degrees → WGS84 lands within one arc-second (the
// floor to whole seconds) of the start; the datum shift alone nearly undoes
// itself.
TEST(ConversionsSweep, FullChainOverJapanStaysWithinOneSecond) {
    for (double lat = 20.0; lat <= 46.0; lat += 0.137) {
        for (double lng = 122.0; lng <= 154.0; lng += 0.173) {
            double tlat = 0, tlng = 0, wlat = 0, wlng = 0;
            WGS84ToTokyo(lat, lng, tlat, tlng);
            TokyoToWGS84(tlat, tlng, wlat, wlng);
            ASSERT_LT(std::fabs(wlat - lat), 1e-7);
            ASSERT_LT(std::fabs(wlng - lng), 1e-7);
            const double dlat = MsecToDeg(DegToMsec(tlat));
            const double dlng = MsecToDeg(DegToMsec(tlng));
            ASSERT_LE(dlat, tlat);
            ASSERT_LE(dlng, tlng);
            TokyoToWGS84(dlat, dlng, wlat, wlng);
            ASSERT_LT(std::fabs(wlat - lat), 1.001 / 3600) << lat << "," << lng;
            ASSERT_LT(std::fabs(wlng - lng), 1.001 / 3600) << lat << "," << lng;
        }
    }
}

TEST(ConversionsOverflow, MsecToDegBounds) {
    EXPECT_EQ(bits(MsecToDeg(kLowestMsec)), bits(-596.0));
    EXPECT_EQ(errorOf([] { MsecToDeg(kLowestMsec - 1); }), 6);
    EXPECT_EQ(errorOf([] { MsecToDeg(INT32_MIN); }), 6);
    // 596° 31′ 23″
    EXPECT_EQ(bits(MsecToDeg(INT32_MAX)), bits(degreesOf({596, 31, 23})));
}

TEST(ConversionsOverflow, DegToMsecBounds) {
    EXPECT_EQ(DegToMsec(-596.0), kLowestMsec);
    EXPECT_EQ(errorOf([] { DegToMsec(-596.0000001); }), 6);
    EXPECT_EQ(errorOf([] { DegToMsec(std::nextafter(-596.0, -kInf)); }), 6);
    EXPECT_EQ(DegToMsec(596.52), 2147472000);
    EXPECT_EQ(errorOf([] { DegToMsec(596.5233); }), 6);
    EXPECT_EQ(errorOf([] { DegToMsec(1e300); }), 6);
    EXPECT_EQ(errorOf([] { DegToMsec(-1e300); }), 6);
}

// The largest accepted degrees value gives the largest Long; the next double
// up overflows in the final Int.
TEST(ConversionsOverflow, DegToMsecUpperBoundIsTheLargestLong) {
    double lo = 596.5, hi = 596.53;
    while (std::nextafter(lo, hi) < hi) {
        double mid = lo + (hi - lo) / 2;
        if (mid <= lo || mid >= hi) mid = std::nextafter(lo, hi);
        (errorOf([&] { DegToMsec(mid); }) == 0 ? lo : hi) = mid;
    }
    EXPECT_EQ(DegToMsec(lo), INT32_MAX);
    EXPECT_EQ(errorOf([&] { DegToMsec(hi); }), 6);
    EXPECT_NEAR(lo, 2147483648.0 / 3600000.0, 1e-9);
}

TEST(ConversionsFloatingPoint, DegToMsecRejectsNaNAndInfinities) {
    EXPECT_EQ(errorOf([] { DegToMsec(kNaN); }), 6);
    EXPECT_EQ(errorOf([] { DegToMsec(kInf); }), 6);
    EXPECT_EQ(errorOf([] { DegToMsec(-kInf); }), 6);
}

// Each datum shift writes the latitude before it computes the longitude: a
// longitude formula that overflows leaves the new latitude in place and the
// old longitude untouched.
TEST(ConversionsFloatingPoint, LatitudeIsWrittenBeforeAFailingLongitude) {
    double lat = 1.0, lng = 2.0;
    EXPECT_EQ(errorOf([&] { TokyoToWGS84(-kMax, kMax, lat, lng); }), 6);
    EXPECT_TRUE(std::isfinite(lat));
    EXPECT_LT(lat, -1e300);
    EXPECT_EQ(lng, 2.0);

    lat = 1.0, lng = 2.0;
    EXPECT_EQ(errorOf([&] { WGS84ToTokyo(0.0, kMax, lat, lng); }), 6);
    EXPECT_TRUE(std::isfinite(lat));
    EXPECT_LT(lat, -1e300);
    EXPECT_EQ(lng, 2.0);
}

// The latitude formula reads both inputs, so a non-finite input fails it
// first and neither output changes.
TEST(ConversionsFloatingPoint, NonFiniteInputLeavesBothOutputs) {
    const std::initializer_list<std::pair<double, double>> inputs = {
        {kInf, 139.0}, {-kInf, 139.0}, {35.0, kInf}, {35.0, -kInf}, {kNaN, 139.0}, {35.0, kNaN}};
    for (const auto& [p, q] : inputs) {
        double lat = 1.0, lng = 2.0;
        EXPECT_EQ(errorOf([&] { TokyoToWGS84(p, q, lat, lng); }), 6) << p << "," << q;
        EXPECT_EQ(lat, 1.0);
        EXPECT_EQ(lng, 2.0);
        EXPECT_EQ(errorOf([&] { WGS84ToTokyo(p, q, lat, lng); }), 6) << p << "," << q;
        EXPECT_EQ(lat, 1.0);
        EXPECT_EQ(lng, 2.0);
    }
}

}  // namespace
}  // namespace vamu
