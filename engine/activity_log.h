#pragma once

#include <string>

namespace vamu {

class Module;

// Puts one time-stamped line at the top of the panel's log.
void AddLog(Module& module, const std::u16string& message);

}  // namespace vamu
