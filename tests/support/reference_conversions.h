#pragma once
// The unit changes between msec and degrees written straight from their
// step lists, one checked VB operation per step, divisions and Int as they
// stand. Slow, and the yardstick the fast versions must match bit for bit,
// errors included.

#include <cstdint>

#include "engine/vb.h"

namespace vamu::reference {

inline std::int32_t intOf(double value) {
    if (std::isnan(value)) raise(kFloatingPointInvalid);
    const double f = std::floor(value);
    if (f < -2147483648.0 || f > 2147483647.0) raise(ErrorNumber::Overflow);
    return static_cast<std::int32_t>(f);
}

inline double MsecToDeg(std::int32_t m) {
    const std::int32_t d = intOf(vb::divide(static_cast<double>(m), 3600000.0));
    const std::int32_t r = vb::subLong(m, vb::mulLong(d, 3600000));
    const std::int32_t mm = intOf(vb::divide(static_cast<double>(r), 60000.0));
    const std::int32_t rest = vb::subLong(vb::subLong(m, vb::mulLong(d, 3600000)), vb::mulLong(mm, 60000));
    const std::int32_t ss = intOf(vb::divide(static_cast<double>(rest), 1000.0));
    const double t = vb::checked(vb::divide(static_cast<double>(mm), 60.0) + static_cast<double>(d));
    return vb::checked(vb::divide(static_cast<double>(ss), 3600.0) + t);
}

inline std::int32_t DegToMsec(double x) {
    const std::int32_t d = intOf(x);
    const volatile double sixty = 60.0;  // one operation at a time, never fused
    const double fraction = x - static_cast<double>(d);
    const std::int32_t mm = intOf(vb::checked(fraction * sixty));
    const double minutes = fraction * sixty;
    const double seconds = vb::checked((minutes - static_cast<double>(mm)) * sixty);
    const float s = vb::cSng(seconds);
    const std::int32_t w = vb::addLong(vb::mulLong(d, 3600000), vb::mulLong(mm, 60000));
    const double thousand = 1000.0;
    const double product = static_cast<double>(s) * thousand;
    return intOf(vb::checked(product + static_cast<double>(w)));
}

}  // namespace vamu::reference
