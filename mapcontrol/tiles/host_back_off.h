#pragma once
// How long to leave a tile server alone after it failed: what it asks for
// (Retry-After) and never less than an exponential back-off, 1 s doubling up
// to 5 minutes, with jitter so that many clients do not come back at once.

#include <cstdint>
#include <optional>

namespace vamu::tiles {

class HostBackOff {
public:
    HostBackOff(std::int64_t firstMillis, std::int64_t longestMillis)
        : first_(firstMillis), longest_(longestMillis) {}

    bool ready(std::int64_t nowMillis) const { return nowMillis >= notBefore_; }
    std::int64_t notBefore() const { return notBefore_; }
    std::int32_t failures() const { return failures_; }

    // A failure at nowMillis; jitter in [0, 1) picks the wait within the
    // upper half of the current step. Returns the wait in milliseconds.
    std::int64_t failed(std::int64_t nowMillis, std::optional<std::int64_t> retryAfterMillis, double jitter);
    void succeeded() {
        failures_ = 0;
        notBefore_ = 0;
    }

private:
    std::int64_t first_, longest_;
    std::int32_t failures_ = 0;
    std::int64_t notBefore_ = 0;
};

}  // namespace vamu::tiles
