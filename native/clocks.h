#pragma once
// Clocks with the Japanese regional defaults: short date "yyyy/MM/dd"
// (2024/01/05), time of day "H:mm:ss" (9:05:07).

#include <cstdint>
#include <deque>

#include "contracts/platform.h"

namespace vamu::native {

class JapaneseFormatClock : public Clock {
public:
    std::u16string shortDate(const ClockReading& at) override;
    std::u16string timeOfDay(const ClockReading& at) override;
};

// The machine's clock in local time.
class SystemClock : public JapaneseFormatClock {
public:
    ClockReading now() override;
};

// A clock that stands still until told otherwise. Queued readings are
// handed out first, one per call, without moving the clock itself.
class FixedClock : public JapaneseFormatClock {
public:
    explicit FixedClock(ClockReading start = {2024, 1, 1, 12, 0, 0}) : current_(start) {}

    ClockReading now() override;

    void set(const ClockReading& reading) { current_ = reading; }
    // Moves the clock on (or back, for a negative count) across days, months
    // and years.
    void advance(std::int64_t seconds);
    void queue(const ClockReading& reading) { queued_.push_back(reading); }
    const ClockReading& current() const noexcept { return current_; }

private:
    ClockReading current_;
    std::deque<ClockReading> queued_;
};

}  // namespace vamu::native
