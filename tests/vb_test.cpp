#include "engine/vb.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>

#include "contracts/runtime_error.h"
#include "contracts/text.h"
#include "engine/status.h"
#include "support/error_of.h"

namespace vamu {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using testing::errorOf;

TEST(VbRounding, CLngAndCIntTieToEven) {
    EXPECT_EQ(vb::cLng(0.5), 0);
    EXPECT_EQ(vb::cLng(1.5), 2);
    EXPECT_EQ(vb::cLng(2.5), 2);
    EXPECT_EQ(vb::cLng(-2.5), -2);
    EXPECT_EQ(vb::cLng(-0.5), 0);
    EXPECT_EQ(vb::cLng(2.5000000000000004), 3);
    EXPECT_EQ(vb::cInt(0.5), 0);
    EXPECT_EQ(vb::cInt(1.5), 2);
    EXPECT_EQ(vb::cInt(2.5), 2);
    EXPECT_EQ(vb::cInt(-2.5), -2);
    EXPECT_EQ(vb::cInt(-3.5), -4);
}

TEST(VbRounding, CIntRange) {
    EXPECT_EQ(vb::cInt(32767.4), 32767);
    EXPECT_EQ(errorOf([] { vb::cInt(32767.5); }), 6);  // rounds to 32768
    EXPECT_EQ(vb::cInt(-32768.5), -32768);             // rounds to the even -32768
    EXPECT_EQ(errorOf([] { vb::cInt(-32769.5); }), 6);
    EXPECT_EQ(errorOf([] { vb::cInt(kNaN); }), 6);
    EXPECT_EQ(errorOf([] { vb::cInt(kInf); }), 6);
    // The Long overload
    EXPECT_EQ(vb::cInt(std::int32_t{32767}), 32767);
    EXPECT_EQ(vb::cInt(std::int32_t{-32768}), -32768);
    EXPECT_EQ(errorOf([] { vb::cInt(std::int32_t{32768}); }), 6);
    EXPECT_EQ(errorOf([] { vb::cInt(std::int32_t{-32769}); }), 6);
}

TEST(VbRounding, CLngRange) {
    EXPECT_EQ(vb::cLng(2147483646.5), 2147483646);
    EXPECT_EQ(errorOf([] { vb::cLng(2147483647.5); }), 6);
    EXPECT_EQ(vb::cLng(-2147483648.5), INT32_MIN);
    EXPECT_EQ(errorOf([] { vb::cLng(-2147483649.5); }), 6);
    EXPECT_EQ(errorOf([] { vb::cLng(kNaN); }), 6);
    EXPECT_EQ(errorOf([] { vb::cLng(-kInf); }), 6);
}

TEST(VbRounding, IntLongFloorsAndChecksTheFlooredValue) {
    EXPECT_EQ(vb::intLong(-0.5), -1);
    EXPECT_EQ(vb::intLong(-0.0), 0);
    EXPECT_EQ(vb::intLong(2.9999999999999996), 2);
    EXPECT_EQ(vb::intLong(2147483647.0), INT32_MAX);
    EXPECT_EQ(vb::intLong(2147483647.9), INT32_MAX);
    EXPECT_EQ(errorOf([] { vb::intLong(2147483648.0); }), 6);
    EXPECT_EQ(vb::intLong(-2147483648.0), INT32_MIN);
    EXPECT_EQ(vb::intLong(-2147483647.5), INT32_MIN);
    EXPECT_EQ(errorOf([] { vb::intLong(-2147483648.5); }), 6);
    EXPECT_EQ(errorOf([] { vb::intLong(kNaN); }), 6);
    EXPECT_EQ(errorOf([] { vb::intLong(kInf); }), 6);
    EXPECT_EQ(errorOf([] { vb::intLong(-kInf); }), 6);
}

TEST(VbIntegers, CheckedArithmeticFailsExactlyPastTheBounds) {
    EXPECT_EQ(vb::addLong(INT32_MAX - 1, 1), INT32_MAX);
    EXPECT_EQ(errorOf([] { vb::addLong(INT32_MAX, 1); }), 6);
    EXPECT_EQ(vb::addLong(INT32_MIN, 0), INT32_MIN);
    EXPECT_EQ(errorOf([] { vb::addLong(INT32_MIN, -1); }), 6);
    EXPECT_EQ(vb::subLong(INT32_MIN + 1, 1), INT32_MIN);
    EXPECT_EQ(errorOf([] { vb::subLong(INT32_MIN, 1); }), 6);
    EXPECT_EQ(errorOf([] { vb::subLong(0, INT32_MIN); }), 6);
    EXPECT_EQ(vb::subLong(-1, INT32_MIN), INT32_MAX);
    EXPECT_EQ(vb::mulLong(-596, 3600000), -2145600000);
    EXPECT_EQ(errorOf([] { vb::mulLong(-597, 3600000); }), 6);
    EXPECT_EQ(vb::mulLong(INT32_MIN, 1), INT32_MIN);
    EXPECT_EQ(errorOf([] { vb::mulLong(INT32_MIN, -1); }), 6);
    EXPECT_EQ(errorOf([] { vb::mulLong(65536, 32768); }), 6);
    EXPECT_EQ(vb::mulLong(-65536, 32768), INT32_MIN);
    EXPECT_EQ(vb::addInteger(32766, 1), 32767);
    EXPECT_EQ(errorOf([] { vb::addInteger(32767, 1); }), 6);
    EXPECT_EQ(errorOf([] { vb::addInteger(-32768, -1); }), 6);
}

TEST(VbFloatingPoint, DivisionAndChecks) {
    EXPECT_EQ(vb::divide(1.0, 4.0), 0.25);
    EXPECT_EQ(errorOf([] { vb::divide(1.0, 0.0); }), 11);
    EXPECT_EQ(errorOf([] { vb::divide(-1.0, -0.0); }), 11);
    EXPECT_EQ(errorOf([] { vb::divide(0.0, 0.0); }), 6);
    EXPECT_EQ(errorOf([] { vb::divide(kNaN, 0.0); }), 6);
    EXPECT_EQ(errorOf([] { vb::divide(DBL_MAX, 0.5); }), 6);  // quotient overflows
    EXPECT_EQ(errorOf([] { vb::divide(kInf, kInf); }), 6);
    EXPECT_EQ(vb::checked(-DBL_MAX), -DBL_MAX);
    EXPECT_EQ(errorOf([] { vb::checked(kNaN); }), 6);
    EXPECT_EQ(errorOf([] { vb::checked(-kInf); }), 6);
}

TEST(VbFloatingPoint, CSngRange) {
    EXPECT_EQ(vb::cSng(1.5), 1.5f);
    EXPECT_EQ(vb::cSng(static_cast<double>(FLT_MAX)), FLT_MAX);
    EXPECT_EQ(vb::cSng(-static_cast<double>(FLT_MAX)), -FLT_MAX);
    // Above FLT_MAX but nearer to it than to the next power: still FLT_MAX.
    const double justAbove = static_cast<double>(FLT_MAX) + std::ldexp(1.0, 102);
    EXPECT_EQ(vb::cSng(justAbove), FLT_MAX);
    // Halfway to the next power rounds to infinity.
    EXPECT_EQ(errorOf([&] { vb::cSng(static_cast<double>(FLT_MAX) + std::ldexp(1.0, 103)); }), 6);
    EXPECT_EQ(errorOf([] { vb::cSng(3.5e38); }), 6);
    EXPECT_EQ(errorOf([] { vb::cSng(-3.5e38); }), 6);
    EXPECT_EQ(errorOf([] { vb::cSng(kInf); }), 6);
    EXPECT_EQ(errorOf([] { vb::cSng(kNaN); }), 6);
    EXPECT_EQ(vb::cSng(1e-50), 0.0f);  // underflow is no error
}

TEST(VbBoolean, SixteenBitTruth) {
    EXPECT_EQ(vb::toBoolean(true), -1);
    EXPECT_EQ(vb::toBoolean(false), 0);
    static_assert(sizeof(vb::Boolean) == 2);
}

TEST(RuntimeErrors, NumbersDescriptionsAndHresults) {
    const RuntimeError e(ErrorNumber::Overflow);
    EXPECT_EQ(e.number(), 6);
    EXPECT_EQ(e.hresult(), 0x800A0006u);
    EXPECT_EQ(e.description(), u"Overflow");
    EXPECT_STREQ(e.what(), "run-time error 6: Overflow");
    EXPECT_FALSE(e.isForeign());

    EXPECT_EQ(RuntimeError(ErrorNumber::ObjectNotSet).description(),
              u"Object variable or With block variable not set");
    EXPECT_EQ(RuntimeError(ErrorNumber::ObjectNotSet).hresult(), 0x800A005Bu);
    EXPECT_EQ(RuntimeError(ErrorNumber::SubscriptOutOfRange).description(), u"Subscript out of range");
    EXPECT_EQ(RuntimeError(ErrorNumber::DivisionByZero).description(), u"Division by zero");
    EXPECT_EQ(RuntimeError(ErrorNumber::PathNotFound).hresult(), 0x800A004Cu);
    EXPECT_EQ(RuntimeError(ErrorNumber::InvalidPicture).hresult(), 0x800A01E1u);
    EXPECT_EQ(describe(static_cast<ErrorNumber>(1234)), u"Application-defined or object-defined error");
    EXPECT_EQ(hresultOf(0x12345), 0x800A2345u);  // only the low word travels
}

TEST(RuntimeErrors, OwnDescriptionKeepsNumberAndJapaneseText) {
    const RuntimeError e(ErrorNumber::FileNotFound, u"地図ファイルがありません");
    EXPECT_EQ(e.number(), 53);
    EXPECT_EQ(e.hresult(), 0x800A0035u);
    EXPECT_EQ(e.description(), u"地図ファイルがありません");
    EXPECT_EQ(std::string(e.what()), "run-time error 53: " + toUtf8(u"地図ファイルがありません"));
}

TEST(RuntimeErrors, ForeignErrorsTravelUnchanged) {
    const auto e = RuntimeError::foreign(0x80004005u, u"Unspecified error", u"ProAtlas");
    EXPECT_TRUE(e.isForeign());
    EXPECT_EQ(e.hresult(), 0x80004005u);
    EXPECT_EQ(e.number(), 0x4005);
    EXPECT_EQ(e.description(), u"Unspecified error");
    EXPECT_EQ(e.source(), u"ProAtlas");
    // A VB error raised inside the foreign object carries its own number.
    const auto vbInside = RuntimeError::foreign(0x800A0035u, u"File not found");
    EXPECT_EQ(vbInside.number(), 53);
    EXPECT_EQ(vbInside.hresult(), 0x800A0035u);
    EXPECT_TRUE(vbInside.source().empty());
}

TEST(RuntimeErrors, RaiseThrowsTheNumberedError) {
    try {
        raise(ErrorNumber::SubscriptOutOfRange);
        FAIL() << "raise returned";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 9);
        EXPECT_FALSE(e.isForeign());
    }
}

TEST(Guarded, TurnsEveryFailureIntoAStatus) {
    int steps = 0;
    EXPECT_TRUE(guarded([&] { ++steps; }).ok());
    const Status failed = guarded([&] {
        ++steps;
        raise(ErrorNumber::ObjectNotSet);
        ++steps;  // never reached
    });
    EXPECT_EQ(steps, 2);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error->number(), 91);
    EXPECT_EQ(guarded([] { throw std::bad_alloc(); }).error->number(), 7);
    EXPECT_EQ(guarded([] { throw std::logic_error("x"); }).error->number(), 51);
    EXPECT_EQ(guarded([] { throw 42; }).error->number(), 51);
    const Status foreign = guarded([] { throw RuntimeError::foreign(0x80004005u, u"x"); });
    EXPECT_TRUE(foreign.error->isForeign());
    EXPECT_EQ(foreign.error->hresult(), 0x80004005u);
}

}  // namespace
}  // namespace vamu
