#include "engine/conversions.h"

#include <array>
#include <bit>
#include <cstddef>

#include "engine/vb.h"

namespace vamu {
namespace {

constexpr double A1 = std::bit_cast<double>(0x3F1C094B025CD192ull);  // 0.00010695
constexpr double A2 = std::bit_cast<double>(0x3EF24FF4F11465FAull);  // 0.000017464
constexpr double A3 = std::bit_cast<double>(0x3F72D93B701896D0ull);  // 0.0046017
constexpr double A4 = std::bit_cast<double>(0x3F08231DA28E7103ull);  // 0.000046038
constexpr double A5 = std::bit_cast<double>(0x3F15C4EBE06BEE99ull);  // 0.000083043
constexpr double A6 = std::bit_cast<double>(0x3F848FD9FD36F7E4ull);  // 0.01004
constexpr double B1 = std::bit_cast<double>(0x3F1C09F6CED3E317ull);  // 0.00010696
constexpr double B2 = std::bit_cast<double>(0x3EF250C319A347CCull);  // 0.000017467
constexpr double B3 = std::bit_cast<double>(0x3F72D98BF7F06706ull);  // 0.004602
constexpr double B4 = std::bit_cast<double>(0x3F082452DF64C3BEull);  // 0.000046047
constexpr double B5 = std::bit_cast<double>(0x3F15C552F4B35F82ull);  // 0.000083049
constexpr double B6 = std::bit_cast<double>(0x3F84906034F3FD93ull);  // 0.010041

static_assert(A1 == 0.00010695 && A6 == 0.01004 && B1 == 0.00010696 && B6 == 0.010041);

constexpr std::int32_t kMsecPerDegree = 3600000;
constexpr std::int32_t kMsecPerMinute = 60000;
constexpr std::int32_t kLowestSplitMsec = -596 * kMsecPerDegree;

// n ÷ 60.0 and n ÷ 3600.0 for n = 0..59, each the correctly rounded double.
constexpr std::array<double, 60> quotients(double divisor) {
    std::array<double, 60> q{};
    for (std::size_t n = 0; n < q.size(); ++n) q[n] = static_cast<double>(n) / divisor;
    return q;
}
constexpr std::array<double, 60> kSixtieths = quotients(60.0);
constexpr std::array<double, 60> kThreeThousandSixHundredths = quotients(3600.0);

// Rounded toward minus infinity.
constexpr std::int32_t flooredQuotient(std::int32_t a, std::int32_t b) {
    const std::int32_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// One operation per statement: the compiler may not fuse or reorder them
// (the build turns contraction off as well).
double mul(double a, double b) { return a * b; }

}  // namespace

void TokyoToWGS84(const double& lat, const double& lng, double& latOut, double& lngOut) {
    const double p = lat;
    const double q = lng;
    double t = p - mul(p, A1);
    t = t + mul(q, A2);
    latOut = vb::checked(t + A3);
    double u = q - mul(p, A4);
    u = u - mul(q, A5);
    lngOut = vb::checked(u + A6);
}

void WGS84ToTokyo(const double& lat, const double& lng, double& latOut, double& lngOut) {
    const double p = lat;
    const double q = lng;
    double t = mul(p, B1) + p;
    t = t - mul(q, B2);
    latOut = vb::checked(t - B3);
    double u = mul(p, B4) + q;
    u = u + mul(q, B5);
    lngOut = vb::checked(u - B6);
}

// MsecToDeg splits the msec value into whole degrees, minutes and seconds.
// Each quotient of an integer by 3600000.0, 60000.0 or 1000.0 lies at least
// one part in 3600000 away from the next integer unless it is one, far more
// than a double's rounding, so Int of the double quotient is the floored
// integer quotient: the split is done in integers. The two remaining
// divisions, of 0..59 by 60.0 and by 3600.0, come from tables of the very
// doubles the divisions give.
double MsecToDeg(const std::int32_t& msec) {
    const std::int32_t m = msec;
    // d × 3600000 overflows a Long for d < -596.
    if (m < kLowestSplitMsec) raise(ErrorNumber::Overflow);
    const std::int32_t d = flooredQuotient(m, kMsecPerDegree);
    const std::int32_t r = m - d * kMsecPerDegree;  // 0 .. 3599999
    const std::int32_t mm = r / kMsecPerMinute;
    const std::int32_t ss = (r - mm * kMsecPerMinute) / 1000;
    const double t = kSixtieths[static_cast<std::size_t>(mm)] + static_cast<double>(d);
    return kThreeThousandSixHundredths[static_cast<std::size_t>(ss)] + t;
}

std::int32_t DegToMsec(const double& degrees) {
    const double x = degrees;
    const std::int32_t d = vb::intLong(x);
    const double fraction = x - static_cast<double>(d);
    const std::int32_t mm = vb::intLong(vb::checked(mul(fraction, 60.0)));
    const double seconds = vb::checked(mul(mul(fraction, 60.0) - mm, 60.0));
    const float s = vb::cSng(seconds);
    const std::int32_t w = vb::addLong(vb::mulLong(d, kMsecPerDegree), vb::mulLong(mm, kMsecPerMinute));
    return vb::intLong(vb::checked(mul(static_cast<double>(s), 1000.0) + static_cast<double>(w)));
}

}  // namespace vamu
