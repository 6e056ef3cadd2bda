#pragma once
// UTF-16 is the string form end to end, as at the COM boundary; these turn it
// into UTF-8 for files, terminals and test messages, and back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vamu {

std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);
// A whole number in decimal digits, for messages and names.
std::u16string decimalText(std::int64_t value);

// The length of the first count lines of text, each with its CR LF; the
// whole length when the text has no more lines than that.
std::size_t lengthOfFirstLines(std::u16string_view text, std::int32_t count);

}  // namespace vamu
