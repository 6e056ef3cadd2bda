#include "engine/conversions.h"

#include <bit>

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

double MsecToDeg(const std::int32_t& msec) {
    const std::int32_t m = msec;
    const std::int32_t d = vb::intLong(vb::divide(static_cast<double>(m), 3600000.0));
    const std::int32_t r = vb::subLong(m, vb::mulLong(d, kMsecPerDegree));
    const std::int32_t mm = vb::intLong(vb::divide(static_cast<double>(r), 60000.0));
    const std::int32_t rest =
        vb::subLong(vb::subLong(m, vb::mulLong(d, kMsecPerDegree)), vb::mulLong(mm, kMsecPerMinute));
    const std::int32_t ss = vb::intLong(vb::divide(static_cast<double>(rest), 1000.0));
    const double t = vb::checked(vb::divide(static_cast<double>(mm), 60.0) + static_cast<double>(d));
    return vb::checked(vb::divide(static_cast<double>(ss), 3600.0) + t);
}

std::int32_t DegToMsec(const double& degrees) {
    const double x = degrees;
    const std::int32_t d = vb::intLong(x);
    const std::int32_t mm = vb::intLong(vb::checked(mul(x - static_cast<double>(d), 60.0)));
    const double seconds = vb::checked(mul(mul(x - static_cast<double>(d), 60.0) - mm, 60.0));
    const float s = vb::cSng(seconds);
    const std::int32_t w = vb::addLong(vb::mulLong(d, kMsecPerDegree), vb::mulLong(mm, kMsecPerMinute));
    return vb::intLong(vb::checked(mul(static_cast<double>(s), 1000.0) + static_cast<double>(w)));
}

}  // namespace vamu
