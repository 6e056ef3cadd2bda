#include "native/clocks.h"

#include <chrono>
#include <ctime>
#include <string>

#include "contracts/text.h"

namespace vamu::native {
namespace {

std::string padded(std::int32_t value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

}  // namespace

std::u16string JapaneseFormatClock::shortDate(const ClockReading& at) {
    return fromUtf8(padded(at.year, 4) + "/" + padded(at.month, 2) + "/" + padded(at.day, 2));
}

std::u16string JapaneseFormatClock::timeOfDay(const ClockReading& at) {
    return fromUtf8(std::to_string(at.hour) + ":" + padded(at.minute, 2) + ":" + padded(at.second, 2));
}

ClockReading SystemClock::now() {
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

ClockReading FixedClock::now() {
    if (queued_.empty()) return current_;
    const ClockReading next = queued_.front();
    queued_.pop_front();
    return next;
}

void FixedClock::advance(std::int64_t seconds) {
    using namespace std::chrono;
    const year_month_day date{year{current_.year}, month{static_cast<unsigned>(current_.month)},
                              day{static_cast<unsigned>(current_.day)}};
    const auto start = sys_days{date} + hours{current_.hour} + minutes{current_.minute} +
                       std::chrono::seconds{current_.second};
    const auto moved = start + std::chrono::seconds{seconds};
    const auto midnight = floor<days>(moved);
    const year_month_day to{midnight};
    const hh_mm_ss clock{moved - midnight};
    current_ = {static_cast<std::int32_t>(static_cast<int>(to.year())),
                static_cast<std::int32_t>(static_cast<unsigned>(to.month())),
                static_cast<std::int32_t>(static_cast<unsigned>(to.day())),
                static_cast<std::int32_t>(clock.hours().count()),
                static_cast<std::int32_t>(clock.minutes().count()),
                static_cast<std::int32_t>(clock.seconds().count())};
}

}  // namespace vamu::native
