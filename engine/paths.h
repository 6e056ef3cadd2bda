#pragma once

#include <string>
#include <string_view>

namespace vamu {

// A directory and a name joined with exactly one backslash between them,
// whether or not the directory already ends with one.
std::u16string joinPath(std::u16string_view directory, std::u16string_view name);

}  // namespace vamu
