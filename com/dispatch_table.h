#pragma once
// IDispatch over a fixed table of members: names matched without regard to
// case, each dispatch identifier with its parameter types, arguments coerced
// as a VB host or a script passes them, and the request's failure handed
// back through EXCEPINFO.

#include <windows.h>
#include <oaidl.h>

#include <array>
#include <cstddef>
#include <span>

#include "engine/status.h"
#include "com/dispatch_arg.h"

namespace vamu::com {

enum class MemberKind { Method, PropertyGet, PropertyPut };

inline constexpr std::size_t kMaxParams = 9;

class BoundArgs;

struct DispatchMember {
    const char16_t* name;
    DISPID id;
    MemberKind kind;
    std::array<VARTYPE, kMaxParams> params;  // in declaration order
    std::size_t count;                       // how many params there are
    std::size_t required;                    // the rest are optional VARIANTs
    // Runs the member on self with the bound arguments; a result goes into
    // result (left VT_EMPTY by members without one).
    Status (*call)(IDispatch* self, BoundArgs& args, VARIANT& result);
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
