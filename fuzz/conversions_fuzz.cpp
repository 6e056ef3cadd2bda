// The unit changes against their step-by-step reference, bit for bit and
// error for error, and the datum shifts for any doubles: a result or a
// run-time error, never anything else.

#include <bit>
#include <cstdlib>

#include "engine/conversions.h"
#include "fuzz/fuzz_input.h"
#include "tests/support/reference_conversions.h"

namespace {

template <class F>
std::uint64_t outcome(F&& f) {
    try {
        return std::bit_cast<std::uint64_t>(static_cast<double>(f()));
    } catch (const vamu::RuntimeError& e) {
        return 0xE000000000000000ull | static_cast<std::uint32_t>(e.number());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vamu::fuzz::Input input(data, size);
    const auto msec = input.value<std::int32_t>();
    const auto degrees = input.value<double>();
    if (outcome([&] { return vamu::MsecToDeg(msec); }) !=
        outcome([&] { return vamu::reference::MsecToDeg(msec); }))
        std::abort();
    if (outcome([&] { return vamu::DegToMsec(degrees); }) !=
        outcome([&] { return vamu::reference::DegToMsec(degrees); }))
        std::abort();
    const auto lng = input.value<double>();
    double a = 0, b = 0;
    try {
        vamu::WGS84ToTokyo(degrees, lng, a, b);
        vamu::TokyoToWGS84(degrees, lng, a, b);
    } catch (const vamu::RuntimeError&) {
    }
    return 0;
}
