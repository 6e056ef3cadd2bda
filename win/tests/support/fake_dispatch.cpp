#include "win/tests/support/fake_dispatch.h"

#include "win/platform/bstr.h"
#include "win/platform/variant.h"

namespace vamu::wine_test {
namespace {

RecordedArg record(const VARIANT& arg) {
    RecordedArg r;
    r.type = arg.vt;
    if (arg.vt & VT_BYREF) {
        r.pointer = arg.byref;
    } else if (arg.vt == VT_DISPATCH) {
        r.pointer = arg.pdispVal;
    } else if (arg.vt == VT_BSTR) {
        r.text = win::fromBstr(arg.bstrVal);
    } else {
        win::Variant number;
        if (SUCCEEDED(VariantChangeType(number.get(), const_cast<VARIANT*>(&arg), 0, VT_R8))) {
            r.number = number.ref().dblVal;
        }
    }
    return r;
}

}  // namespace

FakeDispatch::FakeDispatch(std::vector<std::u16string> names, Handler handler, std::vector<IID> alsoAnswers)
    : names_(std::move(names)), handler_(std::move(handler)), alsoAnswers_(std::move(alsoAnswers)) {}

DISPID FakeDispatch::id(const std::u16string& name) const {
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == name) return static_cast<DISPID>(i + 1);
    }
    return DISPID_UNKNOWN;
}

HRESULT FakeDispatch::QueryInterface(REFIID iid, void** out) {
    bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch);
    for (const IID& other : alsoAnswers_) known = known || IsEqualIID(iid, other);
    if (!known) {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG FakeDispatch::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT FakeDispatch::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT FakeDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (count != 1) return E_INVALIDARG;
    ids[0] = id(std::u16string(reinterpret_cast<const char16_t*>(names[0])));
    return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT FakeDispatch::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* info, UINT*) {
    RecordedCall call;
    call.member = member;
    call.flags = flags;
    for (UINT i = params->cArgs; i > 0; --i) call.args.push_back(record(params->rgvarg[i - 1]));
    call.named.assign(params->rgdispidNamedArgs, params->rgdispidNamedArgs + params->cNamedArgs);
    calls_.push_back(call);
    return handler_(call, params, result, info);
}

HRESULT succeed(const RecordedCall&, DISPPARAMS*, VARIANT*, EXCEPINFO*) { return S_OK; }

HRESULT raiseException(EXCEPINFO* info, HRESULT scode, const wchar_t* description, const wchar_t* source) {
    *info = EXCEPINFO{};
    info->scode = scode;
    info->bstrDescription = SysAllocString(description);
    info->bstrSource = SysAllocString(source);
    return DISP_E_EXCEPTION;
}

}  // namespace vamu::wine_test
