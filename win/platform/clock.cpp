#include "win/platform/clock.h"

#include <windows.h>

namespace vamu::win {
namespace {

// The reading as a SYSTEMTIME, its day of the week filled in for formats
// that show it.
SYSTEMTIME systemTime(const ClockReading& at) {
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(at.year);
    t.wMonth = static_cast<WORD>(at.month);
    t.wDay = static_cast<WORD>(at.day);
    t.wHour = static_cast<WORD>(at.hour);
    t.wMinute = static_cast<WORD>(at.minute);
    t.wSecond = static_cast<WORD>(at.second);
    FILETIME f{};
    SYSTEMTIME normal{};
    if (SystemTimeToFileTime(&t, &f) && FileTimeToSystemTime(&f, &normal)) return normal;
    return t;
}

template <class Format>
std::u16string formatted(Format format) {
    const int size = format(nullptr, 0);
    if (size <= 0) return {};
    std::u16string text(static_cast<std::size_t>(size), u'\0');
    const int written = format(reinterpret_cast<wchar_t*>(text.data()), size);
    text.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);  // without the terminator
    return text;
}

}  // namespace

ClockReading WinClock::now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::u16string WinClock::shortDate(const ClockReading& at) {
    const SYSTEMTIME t = systemTime(at);
    return formatted([&](wchar_t* out, int size) {
        return GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, out, size);
    });
}

std::u16string WinClock::timeOfDay(const ClockReading& at) {
    const SYSTEMTIME t = systemTime(at);
    return formatted([&](wchar_t* out, int size) {
        return GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, nullptr, out, size);
    });
}

}  // namespace vamu::win
