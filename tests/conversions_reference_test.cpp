// The fast unit changes against their step-by-step reference, bit for bit
// and error for error: the whole Long range of msec in strides, the edges of
// every degree, minute and second, and degrees at random and near the
// boundaries where Int and the single-precision rounding turn. With
// VAMU_EXHAUSTIVE=1 in the environment every 31st Long (139 million) and
// 40 million degree values are checked (some minutes).

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <random>

#include "engine/conversions.h"
#include "support/reference_conversions.h"

namespace vamu {
namespace {

bool exhaustive() {
    const char* flag = std::getenv("VAMU_EXHAUSTIVE");
    return flag && *flag == '1';
}

// The result's bits, or the error number with a marker bit for a failure.
template <class F>
std::uint64_t outcome(F&& f) {
    try {
        return std::bit_cast<std::uint64_t>(static_cast<double>(f()));
    } catch (const RuntimeError& e) {
        return 0xE000000000000000ull | static_cast<std::uint32_t>(e.number());
    }
}

void expectSameMsec(std::int32_t m) {
    const std::uint64_t fast = outcome([&] { return MsecToDeg(m); });
    const std::uint64_t slow = outcome([&] { return reference::MsecToDeg(m); });
    if (fast != slow) ADD_FAILURE() << "MsecToDeg(" << m << ")";
}

void expectSameDegrees(double x) {
    const std::uint64_t fast = outcome([&] { return DegToMsec(x); });
    const std::uint64_t slow = outcome([&] { return reference::DegToMsec(x); });
    if (fast != slow) ADD_FAILURE() << "DegToMsec(" << x << ") bits " << std::bit_cast<std::uint64_t>(x);
}

TEST(ConversionsReference, MsecToDegOverTheLongRange) {
    const std::int64_t stride = exhaustive() ? 31 : 997;
    for (std::int64_t m = INT32_MIN; m <= INT32_MAX; m += stride)
        expectSameMsec(static_cast<std::int32_t>(m));
    for (std::int64_t d = -597; d <= 597; ++d) {
        for (std::int64_t edge : {std::int64_t{0}, std::int64_t{59999}, std::int64_t{60000},
                                  std::int64_t{999}, std::int64_t{1000}, std::int64_t{3599999}}) {
            for (std::int64_t delta = -2; delta <= 2; ++delta) {
                const std::int64_t m = d * 3600000 + edge + delta;
                if (m >= INT32_MIN && m <= INT32_MAX) expectSameMsec(static_cast<std::int32_t>(m));
            }
        }
    }
    expectSameMsec(INT32_MIN);
    expectSameMsec(INT32_MAX);
}

TEST(ConversionsReference, DegToMsecAtRandomAndAtTheTurningPoints) {
    std::mt19937_64 random(20240315);
    std::uniform_real_distribution<double> degrees(-600.0, 600.0);
    const long count = exhaustive() ? 20'000'000 : 2'000'000;
    for (long i = 0; i < count; ++i) expectSameDegrees(degrees(random));
    // Whole msec counts as degrees, and their neighbouring doubles.
    std::uniform_int_distribution<std::int32_t> msec(-2146000000, 2147483647);
    for (long i = 0; i < count / 4; ++i) {
        const double x = static_cast<double>(msec(random)) / 3600000.0;
        expectSameDegrees(x);
        expectSameDegrees(std::nextafter(x, -1e9));
        expectSameDegrees(std::nextafter(x, 1e9));
    }
    // Raw bit patterns: NaNs, infinities, subnormals, huge values.
    for (long i = 0; i < count / 4; ++i) expectSameDegrees(std::bit_cast<double>(random()));
    for (double x : {-596.0, -596.0000001, 596.52, 596.5236, 596.52369, -0.0, 0.0, 1e-320, -1e-320}) {
        expectSameDegrees(x);
    }
}

}  // namespace
}  // namespace vamu
