#include "win/platform/variant.h"

#include "win/platform/bstr.h"
#include "win/platform/com_error.h"

namespace vamu::win {
namespace {

Variant convert(const VARIANT& value, VARTYPE type) {
    Variant out;
    const HRESULT hr = VariantChangeType(out.get(), const_cast<VARIANT*>(&value), 0, type);
    if (FAILED(hr)) {
        throw hr == DISP_E_OVERFLOW ? RuntimeError(ErrorNumber::Overflow)
                                    : RuntimeError(ErrorNumber::TypeMismatch);
    }
    return out;
}

}  // namespace

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        VariantClear(&value_);
        value_ = other.value_;
        VariantInit(&other.value_);
    }
    return *this;
}

Variant Variant::string(std::u16string_view text) {
    Bstr made(text);  // first: a failure leaves no half-made VARIANT to clear
    Variant v(VT_BSTR);
    v.value_.bstrVal = made.detach();
    return v;
}

Variant Variant::i2(std::int16_t value) {
    Variant v(VT_I2);
    v.value_.iVal = value;
    return v;
}

Variant Variant::i4(std::int32_t value) {
    Variant v(VT_I4);
    v.value_.lVal = value;
    return v;
}

Variant Variant::r8(double value) {
    Variant v(VT_R8);
    v.value_.dblVal = value;
    return v;
}

Variant Variant::boolean(bool value) {
    Variant v(VT_BOOL);
    v.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::dispatch(IDispatch* object) {
    Variant v(VT_DISPATCH);
    v.value_.pdispVal = ComPtr<IDispatch>::retain(object).detach();
    return v;
}

// Every by-reference VARIANT keeps its pointer in the same place: byref.
Variant Variant::byReference(VARTYPE type, void* target) noexcept {
    Variant v(static_cast<VARTYPE>(VT_BYREF | type));
    v.value_.byref = target;
    return v;
}

Variant Variant::refR8(double* target) { return byReference(VT_R8, target); }
Variant Variant::refI4(std::int32_t* target) { return byReference(VT_I4, target); }
Variant Variant::refBstr(BSTR* target) { return byReference(VT_BSTR, target); }

double toDouble(const VARIANT& value) { return convert(value, VT_R8).ref().dblVal; }

std::int32_t toLong(const VARIANT& value) { return convert(value, VT_I4).ref().lVal; }

std::u16string toString(const VARIANT& value) { return fromBstr(convert(value, VT_BSTR).ref().bstrVal); }

bool toBool(const VARIANT& value) { return convert(value, VT_BOOL).ref().boolVal != VARIANT_FALSE; }

ComPtr<IDispatch> toDispatch(const VARIANT& value) {
    if (value.vt == VT_EMPTY) return nullptr;
    Variant object = convert(value, VT_DISPATCH);
    return ComPtr<IDispatch>::retain(object.ref().pdispVal);
}

}  // namespace vamu::win
