#pragma once
// The hook a substitute of the host's objects calls before each of its
// members runs. Whoever set it may throw from it: the call then fails with
// that error, as a host's call can, after the substitute has recorded it.

#include <functional>
#include <utility>

namespace vamu::native {

template <class Member>
class CallHook {
public:
    using Function = std::function<void(Member)>;

    void set(Function hook) { hook_ = std::move(hook); }
    void operator()(Member member) const {
        if (hook_) hook_(member);
    }

private:
    Function hook_;
};

}  // namespace vamu::native
