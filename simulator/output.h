#pragma once
// The simulator's output: one line per event, stable and easy to parse.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "engine/status.h"

namespace vamu::sim {

// The shortest text that reads back to the same double.
std::string number(double value);
// A quoted UTF-8 string; quotes, backslashes and control characters escaped
// (\" \\ \r \n \t).
std::string quote(std::u16string_view text);
// "<Request> -> True|False [error <number> <description>]"
void printOutcome(std::ostream& out, std::string_view request, bool result, const Status& status);

}  // namespace vamu::sim
