#pragma once
// The single error handler of every public request: the body runs until it
// fails; work done before stays done and the failure becomes the status.

#include <exception>
#include <new>
#include <optional>

#include "contracts/runtime_error.h"

namespace vamu {

struct Status {
    std::optional<RuntimeError> error;

    bool ok() const noexcept { return !error.has_value(); }
    explicit operator bool() const noexcept { return ok(); }
};

template <class Body>
Status guarded(Body&& body) noexcept {
    try {
        body();
        return {};
    } catch (const RuntimeError& e) {
        return {e};
    } catch (const std::bad_alloc&) {
        return {RuntimeError(ErrorNumber::OutOfMemory)};
    } catch (...) {
        return {RuntimeError(ErrorNumber::InternalError)};
    }
}

}  // namespace vamu
