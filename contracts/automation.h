#pragma once
// An object that the host hands over (its form, its picture box, its events
// object). The core never looks inside: it only asks the binding in host.h
// for the view it needs, and every call on a view is a late-bound call that
// can fail with a run-time error. A shared_ptr is the counted reference.

#include <memory>

namespace vamu {

class AutomationObject {
public:
    virtual ~AutomationObject() = default;
};

using ObjectRef = std::shared_ptr<AutomationObject>;

}  // namespace vamu
