#include "win/platform/dispatch.h"

#include <vector>

#include "win/platform/com_error.h"
#include "win/win_platform.h"

namespace vamu::win {

DISPID dispidOf(IDispatch* object, std::u16string_view name) {
    if (!object) raise(ErrorNumber::ObjectNotSet);
    std::u16string copy(name);
    LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(copy.data())};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) throw errorFromHresult(hr);
    return id;
}

Variant invoke(IDispatch* object, DISPID member, CallKind kind, std::span<VARIANT> args) {
    if (!object) raise(ErrorNumber::ObjectNotSet);
    // Invoke wants the arguments last to first; the copies are shallow and
    // own nothing.
    std::vector<VARIANTARG> reversed(args.rbegin(), args.rend());
    DISPID putId = DISPID_PROPERTYPUT;
    const bool put = kind == CallKind::Put || kind == CallKind::PutRef;
    DISPPARAMS params{};
    params.rgvarg = reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    if (put) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    Variant result;
    EXCEPINFO info{};
    UINT argError = 0;
    const HRESULT hr = object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, static_cast<WORD>(kind), &params,
                                      put ? nullptr : result.get(), &info, &argError);
    if (hr == DISP_E_EXCEPTION) throw errorFromExcepInfo(info);
    if (FAILED(hr)) throw errorFromHresult(hr);
    return result;
}

Variant invoke(IDispatch* object, std::u16string_view member, CallKind kind, std::span<VARIANT> args) {
    return invoke(object, dispidOf(object, member), kind, args);
}

Variant getProperty(IDispatch* object, std::u16string_view name) {
    return invoke(object, name, CallKind::Get);
}

void putProperty(IDispatch* object, std::u16string_view name, Variant value) {
    invoke(object, name, CallKind::Put, std::span<VARIANT>(value.get(), 1));
}

IDispatch* dispatchOf(const ObjectRef& object) {
    if (!object) return nullptr;
    const auto* held = dynamic_cast<const DispatchObject*>(object.get());
    if (!held) raise(ErrorNumber::TypeMismatch);
    return held->get();
}

ObjectRef wrapDispatch(IDispatch* object) {
    if (!object) return nullptr;
    return std::make_shared<DispatchObject>(ComPtr<IDispatch>::retain(object));
}

}  // namespace vamu::win
