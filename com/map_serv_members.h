#pragma once
// The member rows of _clsMapServ, in the order of the IDL: names,
// identifiers and parameter types as the type library declares them, each
// with its dispatch entry and vtable method.

#include <span>

#include "com/dispatch_table.h"

namespace vamu::com {

std::span<const DispatchMember> mapServMembers() noexcept;

}  // namespace vamu::com
