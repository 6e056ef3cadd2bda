#pragma once
// A substitute for the host's events object: remembers the newest calls
// with the values they received (see recent_calls.h), can write into the caller's variables like a host
// that changes its by-reference arguments, and calls its hook before each
// member runs.

#include <deque>
#include <functional>
#include <string>

#include "contracts/automation.h"
#include "contracts/host.h"
#include "native/call_hook.h"
#include "native/recent_calls.h"

namespace vamu::native {

enum class EventMethod { SignalInformation, SignalSpecialRedraw };

struct EventCall {
    EventMethod method = EventMethod::SignalInformation;
    // As received; zero for SignalSpecialRedraw, which has no corners.
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    std::u16string info;
};

class SubstituteEvents : public AutomationObject, public HostEvents {
public:
    using InformationHook =
        std::function<void(double& x1, double& x2, double& y1, double& y2, std::u16string& info)>;
    using RedrawHook = std::function<void(std::u16string& info)>;

    using Member = EventMethod;

    // Each call is remembered first; then the call hook runs (an error it
    // throws is the call's), then the method's hook on the caller's own
    // variables.
    void signalInformation(double& x1, double& x2, double& y1, double& y2, std::u16string& info) override;
    void signalSpecialRedraw(std::u16string& info) override;

    void onSignalInformation(InformationHook hook) { informationHook_ = std::move(hook); }
    void onSignalSpecialRedraw(RedrawHook hook) { redrawHook_ = std::move(hook); }
    const std::deque<EventCall>& calls() const noexcept { return calls_; }
    void clear() { calls_.clear(); }
    void onCall(CallHook<Member>::Function hook) { hook_.set(std::move(hook)); }

private:
    std::deque<EventCall> calls_;
    InformationHook informationHook_;
    RedrawHook redrawHook_;
    CallHook<Member> hook_;
};

}  // namespace vamu::native
