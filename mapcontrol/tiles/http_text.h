#pragma once
// Small pieces of HTTP header text: blanks, case-insensitive words, numbers.

#include <cstdint>
#include <optional>
#include <string_view>

namespace vamu::tiles::http {

std::string_view trim(std::string_view text);
bool equalsIgnoringCase(std::string_view a, std::string_view b);
// Digits only; a value past the largest int64 ends at that value.
std::optional<std::int64_t> deltaSeconds(std::string_view text);

}  // namespace vamu::tiles::http
