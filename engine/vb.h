#pragma once
// The VB value semantics the plug-in computes with: 16-bit Booleans, checked
// 32- and 16-bit integer arithmetic, Int, CLng/CInt and floating-point checks.
// Every failure raises the run-time error VB raises.

#include <cmath>
#include <cstdint>
#include <limits>

#include "contracts/runtime_error.h"

namespace vamu::vb {

using Boolean = std::int16_t;
inline constexpr Boolean True = -1;
inline constexpr Boolean False = 0;

constexpr Boolean toBoolean(bool value) noexcept { return value ? True : False; }

inline std::int32_t addLong(std::int32_t a, std::int32_t b) {
    std::int32_t r;
    if (__builtin_add_overflow(a, b, &r)) raise(ErrorNumber::Overflow);
    return r;
}

inline std::int32_t subLong(std::int32_t a, std::int32_t b) {
    std::int32_t r;
    if (__builtin_sub_overflow(a, b, &r)) raise(ErrorNumber::Overflow);
    return r;
}

inline std::int32_t mulLong(std::int32_t a, std::int32_t b) {
    std::int32_t r;
    if (__builtin_mul_overflow(a, b, &r)) raise(ErrorNumber::Overflow);
    return r;
}

inline std::int16_t addInteger(std::int16_t a, std::int16_t b) {
    std::int16_t r;
    if (__builtin_add_overflow(a, b, &r)) raise(ErrorNumber::Overflow);
    return r;
}

// The floating-point check after a formula: a NaN is an invalid operation, an
// infinity an overflow.
inline double checked(double value) {
    if (std::isnan(value)) raise(kFloatingPointInvalid);
    if (std::isinf(value)) raise(kFloatingPointOverflow);
    return value;
}

// A division, with VB's checks of the divisor and the quotient.
inline double divide(double a, double b) {
    if (b == 0.0) {
        if (a == 0.0 || std::isnan(a)) raise(kFloatingPointInvalid);
        raise(kFloatingPointDivideByZero);
    }
    return checked(a / b);
}

// Int: the largest integer not greater than the value, as a Long.
// Within the Long range the truncating conversion and one correction give
// the floor without a library call; everything else (a NaN, a value whose
// floor lies outside) takes the checks.
inline std::int32_t intLong(double value) {
    if (value >= -2147483648.0 && value < 2147483648.0) [[likely]] {
        const auto t = static_cast<std::int32_t>(value);
        return static_cast<double>(t) > value ? t - 1 : t;
    }
    if (std::isnan(value)) raise(kFloatingPointInvalid);
    raise(ErrorNumber::Overflow);
}

// CLng: to nearest, halves to even.
inline std::int32_t cLng(double value) {
    if (std::isnan(value)) raise(kFloatingPointInvalid);
    const double r = std::nearbyint(value);  // default rounding: ties to even
    if (r < -2147483648.0 || r > 2147483647.0) raise(ErrorNumber::Overflow);
    return static_cast<std::int32_t>(r);
}

// CInt: to nearest, halves to even, into 16 bits.
inline std::int16_t cInt(double value) {
    if (std::isnan(value)) raise(kFloatingPointInvalid);
    const double r = std::nearbyint(value);
    if (r < -32768.0 || r > 32767.0) raise(ErrorNumber::Overflow);
    return static_cast<std::int16_t>(r);
}

// A Long narrowed to an Integer.
inline std::int16_t cInt(std::int32_t value) {
    if (value < -32768 || value > 32767) raise(ErrorNumber::Overflow);
    return static_cast<std::int16_t>(value);
}

// A Double narrowed to a Single.
inline float cSng(double value) {
    if (std::isnan(value)) raise(kFloatingPointInvalid);
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
        const float f = static_cast<float>(value);  // may still round down to max
        if (std::isinf(f)) raise(ErrorNumber::Overflow);
        return f;
    }
    return static_cast<float>(value);
}

}  // namespace vamu::vb
