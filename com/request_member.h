#pragma once
// A member row of a generated dual interface made from its request
// function alone:
//
//     member<&MapServRequests::ZoomPan>(u"ZoomPan", 0x6003000E)
//
// The request's holder parameters (inout_args.h) give the parameter types of
// the row, the vtable method's signature, the binding of IDispatch::Invoke's
// arguments and the [out, retval]. Both ways in read the caller's variables
// into the holders, run the request, and store every holder back (also after
// a failed request, as VB does); the vtable method runs through atBoundary
// and reportStatus, so that no exception leaves it.

#include <windows.h>
#include <oaidl.h>

#include <array>
#include <cstddef>
#include <iterator>
#include <tuple>
#include <type_traits>
#include <utility>

#include "com/dispatch_table.h"
#include "com/dual_interface.h"
#include "com/error_report.h"
#include "com/host_calls.h"
#include "com/inout_args.h"

namespace vamu::com {

// How the parameter that a holder stands for is passed: the vtable's type
// (Slot), the type library's VARTYPE, and where Invoke finds it.
template <class Holder>
struct ParamOf;

// A parameter is required and not the retval unless said otherwise.
struct PlainParam {
    static constexpr bool isResult = false;
    static constexpr bool isOptional = false;
};

template <class T, VARTYPE Type>
struct ByReference : PlainParam {
    using Slot = T*;
    static constexpr VARTYPE type = VT_BYREF | Type;
    static Slot bind(BoundArgs& args, std::size_t index, VARIANT&) noexcept { return args[index].as<T>(); }
};

// clang-format off
template <> struct ParamOf<StringInOut> : ByReference<BSTR, VT_BSTR> {};
template <> struct ParamOf<BooleanInOut> : ByReference<VARIANT_BOOL, VT_BOOL> {};
template <> struct ParamOf<DoubleInOut> : ByReference<double, VT_R8> {};
template <> struct ParamOf<IntegerInOut> : ByReference<SHORT, VT_I2> {};
template <> struct ParamOf<LongInOut> : ByReference<LONG, VT_I4> {};
template <> struct ParamOf<ObjectInOut> : ByReference<IDispatch*, VT_DISPATCH> {};
template <> struct ParamOf<StringArrayInOut> : ByReference<SAFEARRAY*, VT_ARRAY | VT_BSTR> {};
template <> struct ParamOf<StringArrayOut> : ByReference<SAFEARRAY*, VT_ARRAY | VT_BSTR> {};
// clang-format on

template <>
struct ParamOf<OptionalVariant> : PlainParam {
    using Slot = VARIANT*;
    static constexpr VARTYPE type = VT_BYREF | VT_VARIANT;
    static constexpr bool isOptional = true;
    static Slot bind(BoundArgs& args, std::size_t index, VARIANT&) noexcept { return args[index].variant(); }
};

template <>
struct ParamOf<StringIn> : PlainParam {
    using Slot = BSTR;
    static constexpr VARTYPE type = VT_BSTR;
    static Slot bind(BoundArgs& args, std::size_t index, VARIANT&) noexcept {
        return *args[index].as<BSTR>();
    }
};

// An [out, retval] goes into Invoke's result, zeroed first.
template <class T, VARTYPE Type>
struct AsResult : PlainParam {
    using Slot = T*;
    static constexpr VARTYPE type = Type;
    static constexpr bool isResult = true;
    static Slot bind(BoundArgs&, std::size_t, VARIANT& result) noexcept {
        result.vt = Type;
        result.llVal = 0;
        return reinterpret_cast<T*>(&result.llVal);  // every member of the union starts here
    }
};

template <>
struct ParamOf<BooleanResult> : AsResult<VARIANT_BOOL, VT_BOOL> {};
template <>
struct ParamOf<StringResult> : AsResult<BSTR, VT_BSTR> {};

template <auto Request>
struct RequestMember;

template <class Host, class Outcome, class... Holders, Outcome (Host::*Request)(Holders&...)>
struct RequestMember<Request> {
    static constexpr std::size_t results = (std::size_t{0} + ... + (ParamOf<Holders>::isResult ? 1 : 0));
    static constexpr std::size_t count = sizeof...(Holders) - results;
    // Optional parameters come last, as the type library has them.
    static constexpr std::size_t required =
        count - (std::size_t{0} + ... + (ParamOf<Holders>::isOptional ? 1 : 0));
    static_assert(count <= kMaxParams, "more parameters than a dispatch table holds");
    static constexpr bool resultComesLast() {
        constexpr bool isResult[] = {false, ParamOf<Holders>::isResult...};
        for (std::size_t i = 1; i + 1 < std::size(isResult); ++i) {
            if (isResult[i]) return false;
        }
        return true;
    }
    static_assert(resultComesLast(), "one [out, retval] at most, and it comes last");

    static DispatchMember row(const char16_t* name, DISPID id, MemberKind kind) {
        std::array<VARTYPE, kMaxParams> params{};
        VARTYPE result = VT_EMPTY;
        std::size_t i = 0;
        ((ParamOf<Holders>::isResult ? result = ParamOf<Holders>::type
                                     : params[i++] = ParamOf<Holders>::type),
         ...);
        return {name, id, kind, params, count, required, result, &call, reinterpret_cast<AnyMethod>(&method)};
    }

private:
    static Status run(Host& host, typename ParamOf<Holders>::Slot... slots) {
        const HostCall inCall;
        return guarded([&] {
            std::tuple<Holders...> holders{slots...};
            std::apply([&](Holders&... h) { commitAndCheck(outcome(host, h...), h...); }, holders);
        });
    }

    // A request that cannot fail returns nothing.
    static Status outcome(Host& host, Holders&... holders) {
        if constexpr (std::is_void_v<Outcome>) {
            (host.*Request)(holders...);
            return {};
        } else {
            return (host.*Request)(holders...);
        }
    }

    // The vtable method.
    static HRESULT STDMETHODCALLTYPE method(DualInterface<Host>* self,
                                            typename ParamOf<Holders>::Slot... slots) noexcept {
        const IID& iid = self->table().iid();
        return atBoundary(iid, [&] { return reportStatus(run(self->requests(), slots...), iid); });
    }

    // The dispatch entry.
    static Status call(IDispatch* self, BoundArgs& args, VARIANT& result) {
        return callBound(DualInterface<Host>::from(self).requests(), args, result,
                         std::index_sequence_for<Holders...>{});
    }
    template <std::size_t... Index>
    static Status callBound(Host& host, BoundArgs& args, VARIANT& result, std::index_sequence<Index...>) {
        return run(host, ParamOf<Holders>::bind(args, Index, result)...);
    }
};

// The row of the member that Request implements; kind tells a property's
// get and put from a method.
template <auto Request>
DispatchMember member(const char16_t* name, DISPID id, MemberKind kind = MemberKind::Method) {
    return RequestMember<Request>::row(name, id, kind);
}

}  // namespace vamu::com
