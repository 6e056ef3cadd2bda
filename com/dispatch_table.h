#pragma once
// IDispatch over a fixed table of members: names matched without regard to
// case, each dispatch identifier with its parameter types, arguments coerced
// as a VB host or a script passes them, and the request's failure handed
// back through EXCEPINFO.
//
// Why the project has its own Invoke rather than ITypeInfo::Invoke: the
// standard one takes a by-reference argument only as a variable of exactly
// the parameter's type and does not coerce it, so a script's
// VT_BYREF | VT_VARIANT, or a VB variable of another type, never reaches the
// method, and nothing is written back to it. A VB host coerces such
// arguments and hands the callee's changes back to the caller's variable;
// DispatchArg does the same (coercion by VariantChangeTypeEx with the
// caller's LCID, write-back in the parameter's type after the call). The
// table is checked against the type library (member_check.h) before the
// first object is handed out, so the two cannot drift apart.

#include <windows.h>
#include <oaidl.h>

#include <array>
#include <cstddef>
#include <span>

#include "engine/status.h"
#include "com/dispatch_arg.h"

namespace vamu::com {

enum class MemberKind { Method, PropertyGet, PropertyPut };

// A vtable entry of any signature, as the vtable array of a generated dual
// interface holds it (dual_interface.h).
using AnyMethod = void (*)();

inline constexpr std::size_t kMaxParams = 9;

class BoundArgs;

struct DispatchMember {
    const char16_t* name;
    DISPID id;
    MemberKind kind;
    // In declaration order, the retval left out; VT_BYREF marks a parameter
    // passed by reference ([in, out]), VT_ARRAY | VT_BSTR a string array.
    std::array<VARTYPE, kMaxParams> params;
    std::size_t count;     // how many params there are
    std::size_t required;  // the rest are optional
    VARTYPE result;        // the [out, retval] type; VT_EMPTY for none
    // Runs the member on self with the bound arguments; a result goes into
    // result (left VT_EMPTY by members without one).
    Status (*call)(IDispatch* self, BoundArgs& args, VARIANT& result);
    // The member's vtable method for a generated dual interface; null where
    // the object declares its methods itself.
    AnyMethod method;
};

// The arguments of one Invoke, by declaration index.
class BoundArgs {
public:
    // DISP_E_TYPEMISMATCH and the like, with *argErr the failing argument's
    // index in rgvarg order.
    HRESULT bind(const DispatchMember& member, DISPPARAMS& params, LCID lcid, UINT* argErr);
    DispatchArg& operator[](std::size_t index) noexcept { return args_[index]; }
    std::size_t size() const noexcept { return count_; }
    void writeBack() noexcept;

private:
    std::array<DispatchArg, kMaxParams> args_;
    std::size_t count_ = 0;
};

HRESULT getIdsOfNames(std::span<const DispatchMember> members, REFIID iid, LPOLESTR* names, UINT count,
                      DISPID* ids) noexcept;

HRESULT invokeMember(std::span<const DispatchMember> members, IDispatch* self, DISPID id, REFIID iid,
                     LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                     UINT* argErr) noexcept;

}  // namespace vamu::com
