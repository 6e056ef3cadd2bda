#include "engine/conversions.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "engine/vb.h"

namespace vamu {
namespace {

// The datum shift, one set of coefficients for each direction:
//   lat' = lat ∓ lat·latByLat ± lng·latByLng ± latOffset
//   lng' = lng ∓ lat·lngByLat ∓ lng·lngByLng ± lngOffset
// the upper signs towards WGS84, the lower ones towards Tokyo (the order of
// the operations as the two conversions below do them).
struct Shift {
    double latByLat, latByLng, latOffset, lngByLat, lngByLng, lngOffset;
};
constexpr Shift kToWGS84{0.00010695, 0.000017464, 0.0046017, 0.000046038, 0.000083043, 0.01004};
constexpr Shift kToTokyo{0.00010696, 0.000017467, 0.004602, 0.000046047, 0.000083049, 0.010041};

// The results are exact to the bit only with these very doubles: a
// compiler that read a decimal literal otherwise stops here.
using ShiftBits = std::array<std::uint64_t, 6>;
static_assert(std::bit_cast<ShiftBits>(kToWGS84) == ShiftBits{0x3F1C094B025CD192, 0x3EF24FF4F11465FA,
                                                              0x3F72D93B701896D0, 0x3F08231DA28E7103,
                                                              0x3F15C4EBE06BEE99, 0x3F848FD9FD36F7E4});
static_assert(std::bit_cast<ShiftBits>(kToTokyo) == ShiftBits{0x3F1C09F6CED3E317, 0x3EF250C319A347CC,
                                                              0x3F72D98BF7F06706, 0x3F082452DF64C3BE,
                                                              0x3F15C552F4B35F82, 0x3F84906034F3FD93});

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
    double t = p - mul(p, kToWGS84.latByLat);
    t = t + mul(q, kToWGS84.latByLng);
    latOut = vb::checked(t + kToWGS84.latOffset);
    double u = q - mul(p, kToWGS84.lngByLat);
    u = u - mul(q, kToWGS84.lngByLng);
    lngOut = vb::checked(u + kToWGS84.lngOffset);
}

void WGS84ToTokyo(const double& lat, const double& lng, double& latOut, double& lngOut) {
    const double p = lat;
    const double q = lng;
    double t = mul(p, kToTokyo.latByLat) + p;
    t = t - mul(q, kToTokyo.latByLng);
    latOut = vb::checked(t - kToTokyo.latOffset);
    double u = mul(p, kToTokyo.lngByLat) + q;
    u = u + mul(q, kToTokyo.lngByLng);
    lngOut = vb::checked(u - kToTokyo.lngOffset);
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

void CornerToWGS84(const std::int32_t& latMsec, const std::int32_t& lngMsec, double& latOut, double& lngOut) {
    const double lat = MsecToDeg(latMsec);
    const double lng = MsecToDeg(lngMsec);
    TokyoToWGS84(lat, lng, latOut, lngOut);
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
