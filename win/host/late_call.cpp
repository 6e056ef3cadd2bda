#include "win/host/late_call.h"

#include <algorithm>

namespace vamu::host {

DISPID idOf(IDispatch* object, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

CallOutcome::CallOutcome() noexcept : info{} { VariantInit(&result); }

CallOutcome::~CallOutcome() {
    VariantClear(&result);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
}

CallOutcome::CallOutcome(CallOutcome&& other) noexcept
    : hr(other.hr), result(other.result), info(other.info), argErr(other.argErr) {
    VariantInit(&other.result);
    other.info = EXCEPINFO{};
}

CallOutcome& CallOutcome::operator=(CallOutcome&& other) noexcept {
    if (this != &other) {
        VariantClear(&result);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
        hr = other.hr;
        result = other.result;
        info = other.info;
        argErr = other.argErr;
        VariantInit(&other.result);
        other.info = EXCEPINFO{};
    }
    return *this;
}

std::wstring CallOutcome::source() const { return text(info.bstrSource); }
std::wstring CallOutcome::description() const { return text(info.bstrDescription); }

CallOutcome invoke(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args,
                   std::vector<DISPID> named) {
    std::reverse(args.begin(), args.end());
    DISPPARAMS params{args.data(), named.data(), static_cast<UINT>(args.size()),
                      static_cast<UINT>(named.size())};
    CallOutcome out;
    out.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &out.result, &out.info,
                            &out.argErr);
    return out;
}

CallOutcome call(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args) {
    return invoke(object, idOf(object, name), DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args));
}

CallOutcome get(IDispatch* object, const wchar_t* name) {
    return invoke(object, idOf(object, name), DISPATCH_PROPERTYGET, {});
}

CallOutcome put(IDispatch* object, const wchar_t* name, VARIANT value) {
    return invoke(object, idOf(object, name), DISPATCH_PROPERTYPUT, {value}, {DISPID_PROPERTYPUT});
}

namespace {

// An empty VARIANT of the type, its value still to be set.
VARIANT typed(VARTYPE type) {
    VARIANT v;
    VariantInit(&v);
    v.vt = type;
    return v;
}

VARIANT byRef(VARTYPE type, void* target) {
    VARIANT v = typed(VT_BYREF | type);
    v.byref = target;
    return v;
}

}  // namespace

VARIANT ref(double* value) { return byRef(VT_R8, value); }
VARIANT ref(VARIANT_BOOL* value) { return byRef(VT_BOOL, value); }
VARIANT ref(BSTR* value) { return byRef(VT_BSTR, value); }
VARIANT ref(IDispatch** value) { return byRef(VT_DISPATCH, value); }
VARIANT refI2(SHORT* value) { return byRef(VT_I2, value); }
VARIANT ref(LONG* value) { return byRef(VT_I4, value); }
VARIANT ref(SAFEARRAY** value) { return byRef(VT_ARRAY | VT_BSTR, value); }
VARIANT ref(VARIANT* value) { return byRef(VT_VARIANT, value); }

VARIANT value(double number) {
    VARIANT v = typed(VT_R8);
    v.dblVal = number;
    return v;
}

VARIANT value(LONG number) {
    VARIANT v = typed(VT_I4);
    v.lVal = number;
    return v;
}

VARIANT value(IDispatch* object) {
    VARIANT v = typed(VT_DISPATCH);
    v.pdispVal = object;
    return v;
}

VARIANT bstrValue(BSTR text) {
    VARIANT v = typed(VT_BSTR);
    v.bstrVal = text;
    return v;
}

SAFEARRAY* stringArray(const std::vector<std::wstring>& items, LONG lower) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, lower, static_cast<ULONG>(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i) {
        LONG index = lower + static_cast<LONG>(i);
        BSTR item = SysAllocString(items[i].c_str());
        SafeArrayPutElement(array, &index, item);  // copies the string
        SysFreeString(item);
    }
    return array;
}

std::vector<std::wstring> arrayItems(SAFEARRAY* array) {
    std::vector<std::wstring> items;
    if (!array) return items;
    for (LONG i = lowerBound(array); i <= upperBound(array); ++i) {
        BSTR item = nullptr;
        SafeArrayGetElement(array, &i, &item);
        items.push_back(text(item));
        SysFreeString(item);
    }
    return items;
}

LONG lowerBound(SAFEARRAY* array) {
    LONG bound = -99;
    SafeArrayGetLBound(array, 1, &bound);
    return bound;
}

LONG upperBound(SAFEARRAY* array) {
    LONG bound = -99;
    SafeArrayGetUBound(array, 1, &bound);
    return bound;
}

std::wstring text(BSTR value) { return value ? std::wstring(value, SysStringLen(value)) : std::wstring(); }

}  // namespace vamu::host
