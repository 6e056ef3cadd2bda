#include "com/dual_interface.h"

#include <stdexcept>

namespace vamu::com {

DualVtable::DualVtable(const IID& iid, std::span<const DispatchMember> members,
                       const std::array<AnyMethod, 7>& base)
    : iid_(iid), members_(members), slots_(base.begin(), base.end()) {
    for (const DispatchMember& m : members) {
        if (!m.method) throw std::logic_error("a member of the dual interface has no vtable method");
        slots_.push_back(m.method);
    }
}

}  // namespace vamu::com
