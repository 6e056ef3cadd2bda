#include "native/substitute_events.h"

namespace vamu::native {

void SubstituteEvents::signalInformation(double& x1, double& x2, double& y1, double& y2,
                                         std::u16string& info) {
    remember(calls_, EventCall{EventMethod::SignalInformation, x1, x2, y1, y2, info});
    hook_(EventMethod::SignalInformation);
    if (informationHook_) informationHook_(x1, x2, y1, y2, info);
}

void SubstituteEvents::signalSpecialRedraw(std::u16string& info) {
    remember(calls_, EventCall{EventMethod::SignalSpecialRedraw, 0, 0, 0, 0, info});
    hook_(EventMethod::SignalSpecialRedraw);
    if (redrawHook_) redrawHook_(info);
}

}  // namespace vamu::native
