#pragma once
// The local clock and the user's regional date and time formats.

#include "contracts/platform.h"

namespace vamu::win {

class WinClock : public Clock {
public:
    ClockReading now() override;
    std::u16string shortDate(const ClockReading& at) override;
    std::u16string timeOfDay(const ClockReading& at) override;
};

}  // namespace vamu::win
