#pragma once
// What a substitute host object remembers of the calls it received: the
// newest ones, for a test to look at, never every call of a long session.

#include <cstddef>
#include <deque>
#include <utility>

namespace vamu::native {

inline constexpr std::size_t kRememberedCalls = 256;

template <class Call>
void remember(std::deque<Call>& calls, Call call) {
    if (calls.size() >= kRememberedCalls) calls.pop_front();
    calls.push_back(std::move(call));
}

}  // namespace vamu::native
