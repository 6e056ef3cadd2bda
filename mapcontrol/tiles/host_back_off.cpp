#include "mapcontrol/tiles/host_back_off.h"

#include <algorithm>

namespace vamu::tiles {

std::int64_t HostBackOff::failed(std::int64_t nowMillis, std::optional<std::int64_t> retryAfterMillis,
                                 double jitter) {
    if (failures_ < 62) ++failures_;
    std::int64_t step = first_;
    for (std::int32_t i = 1; i < failures_ && step < longest_; ++i) step *= 2;
    step = std::min(step, longest_);
    const double j = std::clamp(jitter, 0.0, 1.0);
    std::int64_t wait = step / 2 + static_cast<std::int64_t>(static_cast<double>(step / 2) * j);
    if (retryAfterMillis) wait = std::max(wait, *retryAfterMillis);
    notBefore_ = nowMillis + wait;
    return wait;
}

}  // namespace vamu::tiles
