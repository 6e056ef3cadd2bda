#pragma once
// The dispatch table of a dual interface checked against the type library it
// implements: names, dispatch identifiers, invoke kinds, order and vtable
// slots, parameter types, by-reference, optional and retval flags. The DLL
// runs the check once per process before it hands out its first object, so
// a table that disagrees with the IDL is refused instead of answering calls
// wrongly.

#include <oaidl.h>
#include <windows.h>

#include <span>
#include <string>

#include "com/dispatch_table.h"

namespace vamu::com {

// The first difference, in words; empty when table and type agree. info is
// the dispatch half of the dual interface.
std::u16string differenceFromType(std::span<const DispatchMember> members, ITypeInfo* info);

}  // namespace vamu::com
