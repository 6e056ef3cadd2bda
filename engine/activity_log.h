#pragma once

#include <cstdint>
#include <string>

namespace vamu {

class Module;

// How many lines the log shows: the newest ones. The log is a display for
// the operator and stores nothing; older lines drop off the bottom so that a
// session of any length costs the same per line.
inline constexpr std::int32_t kLogLines = 1000;

// Puts one time-stamped line at the top of the panel's log.
void AddLog(Module& module, const std::u16string& message);

}  // namespace vamu
