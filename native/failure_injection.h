#pragma once
// Failures that a test arranges for the members of a substitute object: a
// member set to fail raises its error on every call until it is cleared.

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "contracts/runtime_error.h"

namespace vamu::native {

// E_FAIL as a host reports it when one of its own calls fails.
inline RuntimeError hostFailure(std::u16string text = u"Unspecified error") {
    return RuntimeError::foreign(0x80004005u, std::move(text));
}

template <class Member>
class FailureInjection {
public:
    void fail(Member member, RuntimeError error) { failures_.insert_or_assign(member, std::move(error)); }
    void clear(Member member) { failures_.erase(member); }
    void clearAll() { failures_.clear(); }
    // Raises the arranged error, if any.
    void check(Member member) const {
        const auto failure = failures_.find(member);
        if (failure != failures_.end()) throw failure->second;
    }

private:
    std::map<Member, RuntimeError> failures_;
};

}  // namespace vamu::native
