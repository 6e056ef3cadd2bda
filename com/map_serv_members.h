#pragma once
// The dispatch table of _clsMapServ: names, identifiers and parameter types
// as the type library declares them.

#include <span>

#include "com/dispatch_table.h"

namespace vamu::com {

std::span<const DispatchMember> mapServMembers() noexcept;

}  // namespace vamu::com
