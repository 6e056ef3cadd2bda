#pragma once
// The wall clock and the tick count, for tile expiry and timers.

#include "contracts/tile_platform.h"

namespace vamu::win {

class WinTileClock : public TileClock {
public:
    std::int64_t unixSeconds() override;
    std::int64_t monotonicMillis() override;
};

}  // namespace vamu::win
