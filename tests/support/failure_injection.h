#pragma once
// Failures a test arranges for the members of a substitute host object:
// a member set to fail raises its error on every call until it is cleared.
// Hooks itself into the substitute for its own lifetime.

#include <map>
#include <string>
#include <utility>

#include "contracts/runtime_error.h"

namespace vamu::testing {

// E_FAIL as a host reports it when one of its own calls fails.
inline RuntimeError hostFailure(std::u16string text = u"Unspecified error") {
    return RuntimeError::foreign(0x80004005u, std::move(text));
}

template <class Substitute>
class FailureInjection {
public:
    using Member = typename Substitute::Member;

    explicit FailureInjection(Substitute& substitute) : substitute_(substitute) {
        substitute_.onCall([this](Member member) { check(member); });
    }
    FailureInjection(const FailureInjection&) = delete;
    FailureInjection& operator=(const FailureInjection&) = delete;
    ~FailureInjection() { substitute_.onCall(nullptr); }

    void fail(Member member, RuntimeError error) { failures_.insert_or_assign(member, std::move(error)); }
    void clear(Member member) { failures_.erase(member); }

private:
    void check(Member member) const {
        const auto failure = failures_.find(member);
        if (failure != failures_.end()) throw failure->second;
    }

    Substitute& substitute_;
    std::map<Member, RuntimeError> failures_;
};

}  // namespace vamu::testing
