#include "win/platform/tile_clock.h"

#include <windows.h>

namespace vamu::win {

std::int64_t WinTileClock::unixSeconds() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    // 100-nanosecond ticks since 1601.
    return static_cast<std::int64_t>(ticks / 10000000) - 11644473600;
}

std::int64_t WinTileClock::monotonicMillis() { return static_cast<std::int64_t>(GetTickCount64()); }

}  // namespace vamu::win
