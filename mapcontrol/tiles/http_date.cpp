// HTTP dates in their three forms, by hand: std::get_time and strptime follow
// the locale, and timegm is not everywhere.

#include <array>
#include <cstdio>

#include "mapcontrol/tiles/http_text.h"
#include "mapcontrol/tiles/tile_freshness.h"

namespace vamu::tiles {
namespace {

constexpr std::array<std::string_view, 7> kDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 7> kLongDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t daysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Civil {
    std::int64_t year, month, day;
};

Civil civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    return {yoe + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

bool leapYear(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

std::int64_t daysInMonth(std::int64_t y, std::int64_t m) {
    constexpr std::array<std::int64_t, 12> kLengths = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : kLengths[static_cast<std::size_t>(m - 1)];
}

// Reads the text from the front, one piece at a time.
class Scanner {
public:
    explicit Scanner(std::string_view text) : rest_(text) {}
    bool done() const { return rest_.empty(); }
    bool literal(char c) {
        if (rest_.empty() || rest_.front() != c) return false;
        rest_.remove_prefix(1);
        return true;
    }
    // minDigits to maxDigits decimal digits.
    std::optional<std::int64_t> number(std::size_t minDigits, std::size_t maxDigits) {
        std::size_t n = 0;
        std::int64_t value = 0;
        while (n < rest_.size() && n < maxDigits && rest_[n] >= '0' && rest_[n] <= '9') {
            value = value * 10 + (rest_[n] - '0');
            ++n;
        }
        if (n < minDigits) return std::nullopt;
        rest_.remove_prefix(n);
        return value;
    }
    std::string_view word() {
        std::size_t n = 0;
        while (n < rest_.size() &&
               ((rest_[n] >= 'A' && rest_[n] <= 'Z') || (rest_[n] >= 'a' && rest_[n] <= 'z'))) {
            ++n;
        }
        const std::string_view w = rest_.substr(0, n);
        rest_.remove_prefix(n);
        return w;
    }
    std::optional<std::int64_t> month() {
        const std::string_view w = word();
        for (std::size_t i = 0; i < kMonths.size(); ++i) {
            if (http::equalsIgnoringCase(w, kMonths[i])) return static_cast<std::int64_t>(i) + 1;
        }
        return std::nullopt;
    }
    // hh:mm:ss as seconds of the day.
    std::optional<std::int64_t> timeOfDay() {
        const auto h = number(2, 2);
        if (!h || !literal(':')) return std::nullopt;
        const auto m = number(2, 2);
        if (!m || !literal(':')) return std::nullopt;
        const auto s = number(2, 2);
        if (!s || *h > 23 || *m > 59 || *s > 60) return std::nullopt;
        return *h * 3600 + *m * 60 + *s;
    }
    bool gmt() {
        const std::string_view w = word();
        return http::equalsIgnoringCase(w, "GMT") || http::equalsIgnoringCase(w, "UTC");
    }

private:
    std::string_view rest_;
};

bool isDayName(std::string_view w) {
    for (std::size_t i = 0; i < kDays.size(); ++i) {
        if (http::equalsIgnoringCase(w, kDays[i]) || http::equalsIgnoringCase(w, kLongDays[i])) return true;
    }
    return false;
}

std::optional<std::int64_t> assemble(std::optional<std::int64_t> year, std::optional<std::int64_t> month,
                                     std::optional<std::int64_t> day, std::optional<std::int64_t> seconds) {
    if (!year || !month || !day || !seconds) return std::nullopt;
    if (*year < 1900 || *day < 1 || *day > daysInMonth(*year, *month)) return std::nullopt;
    return daysFromCivil(*year, *month, *day) * 86400 + *seconds;
}

// "06 Nov 1994 08:49:37 GMT" or "06-Nov-94 08:49:37 GMT", after the weekday's comma.
std::optional<std::int64_t> afterComma(Scanner& in) {
    while (in.literal(' ')) {
    }
    const auto day = in.number(1, 2);
    const bool dashes = in.literal('-');
    if (!dashes && !in.literal(' ')) return std::nullopt;
    const auto month = in.month();
    if (!(dashes ? in.literal('-') : in.literal(' '))) return std::nullopt;
    auto year = dashes ? in.number(2, 4) : in.number(4, 4);
    if (year && *year < 100) *year += *year < 70 ? 2000 : 1900;
    if (!in.literal(' ')) return std::nullopt;
    const auto seconds = in.timeOfDay();
    if (!in.literal(' ') || !in.gmt() || !in.done()) return std::nullopt;
    return assemble(year, month, day, seconds);
}

// "Nov  6 08:49:37 1994", after the weekday's blank.
std::optional<std::int64_t> asctime(Scanner& in) {
    const auto month = in.month();
    if (!in.literal(' ')) return std::nullopt;
    in.literal(' ');
    const auto day = in.number(1, 2);
    if (!in.literal(' ')) return std::nullopt;
    const auto seconds = in.timeOfDay();
    if (!in.literal(' ')) return std::nullopt;
    const auto year = in.number(4, 4);
    if (!in.done()) return std::nullopt;
    return assemble(year, month, day, seconds);
}

}  // namespace

std::optional<std::int64_t> parseHttpDate(std::string_view text) {
    Scanner in(http::trim(text));
    if (!isDayName(in.word())) return std::nullopt;
    if (in.literal(',')) return afterComma(in);
    if (in.literal(' ')) return asctime(in);
    return std::nullopt;
}

std::string formatHttpDate(std::int64_t unixSeconds) {
    const std::int64_t days = (unixSeconds >= 0 ? unixSeconds : unixSeconds - 86399) / 86400;
    const std::int64_t seconds = unixSeconds - days * 86400;
    const Civil c = civilFromDays(days);
    const auto weekday = static_cast<std::size_t>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04lld %02d:%02d:%02d GMT", kDays[weekday].data(),
                  static_cast<int>(c.day), kMonths[static_cast<std::size_t>(c.month - 1)].data(),
                  static_cast<long long>(c.year), static_cast<int>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

}  // namespace vamu::tiles
