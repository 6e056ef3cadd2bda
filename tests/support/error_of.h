#pragma once

#include <cstdint>

#include "contracts/runtime_error.h"

namespace vamu::testing {

// The VB error number the call raised, or 0 when it returned normally.
template <class Call>
std::int32_t errorOf(Call&& call) {
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace vamu::testing
