#include "native/native_platform.h"

namespace vamu::native {
namespace {

std::unique_ptr<Clock> makeClock(bool fixed) {
    if (fixed) return std::make_unique<FixedClock>();
    return std::make_unique<SystemClock>();
}

}  // namespace

NativePlatform::NativePlatform(NativeOptions options)
    : clock_(makeClock(options.fixedClock)),
      fixedClock_(dynamic_cast<FixedClock*>(clock_.get())),
      services_{host_, clipboard_, pictures_, messages_, *clock_, profile_, panels_, version_} {
    if (!options.driveC.empty()) drives_.mount(u'C', options.driveC);
}

}  // namespace vamu::native
