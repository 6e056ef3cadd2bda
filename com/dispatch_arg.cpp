#include "com/dispatch_arg.h"

#include <cmath>
#include <new>

#include "contracts/runtime_error.h"
#include "com/string_array.h"
#include "win/platform/variant.h"

namespace vamu::com {
namespace {

constexpr VARTYPE kStringArray = VT_ARRAY | VT_BSTR;

// A NaN or an infinity has no Integer or Long value: an overflow, as the
// system's own coercion reports it (some versions let a NaN through).
bool nonFiniteToWhole(const VARIANT& source, VARTYPE type) {
    if (type != VT_I2 && type != VT_I4 && type != VT_UI1) return false;
    if (source.vt == VT_R8) return !std::isfinite(source.dblVal);
    if (source.vt == VT_R4) return !std::isfinite(source.fltVal);
    return false;
}

HRESULT asTypeMismatch(HRESULT hr) {
    return hr == DISP_E_OVERFLOW || hr == E_OUTOFMEMORY ? hr : DISP_E_TYPEMISMATCH;
}

}  // namespace

HRESULT DispatchArg::bind(VARIANTARG& arg, VARTYPE type, LCID lcid) {
    caller_ = &arg;
    if (type == VT_VARIANT) {  // taken as it comes
        mode_ = Mode::AsItComes;
        return S_OK;
    }
    if (arg.vt == (VT_BYREF | type)) {
        mode_ = Mode::Direct;
        return S_OK;
    }
    if (arg.vt == (VT_BYREF | VT_VARIANT)) {
        if (!arg.pvarVal) return DISP_E_TYPEMISMATCH;
        mode_ = Mode::IntoVariant;
        return coerce(*arg.pvarVal, type, lcid);
    }
    if (arg.vt & VT_BYREF) return DISP_E_TYPEMISMATCH;  // a variable of another type
    mode_ = Mode::ByValue;
    return coerce(arg, type, lcid);
}

HRESULT DispatchArg::coerce(const VARIANT& source, VARTYPE type, LCID lcid) {
    win::Variant plain;  // the value itself when source refers to one
    if (FAILED(VariantCopyInd(plain.get(), const_cast<VARIANT*>(&source)))) {
        return DISP_E_TYPEMISMATCH;
    }
    if (type == kStringArray) return coerceArray(plain.ref(), lcid);
    if (plain.type() & VT_ARRAY) return DISP_E_TYPEMISMATCH;
    if (nonFiniteToWhole(plain.ref(), type)) return DISP_E_OVERFLOW;
    const HRESULT hr = VariantChangeTypeEx(&local_, plain.get(), lcid, 0, type);
    return FAILED(hr) ? asTypeMismatch(hr) : S_OK;
}

HRESULT DispatchArg::coerceArray(const VARIANT& source, LCID lcid) {
    try {
        SafeArray array;
        if (source.vt == kStringArray) {
            SAFEARRAY* copy = nullptr;
            if (FAILED(SafeArrayCopy(source.parray, &copy))) return E_OUTOFMEMORY;
            array = SafeArray(copy);
        } else if (source.vt == (VT_ARRAY | VT_VARIANT)) {
            array = stringArrayFromVariants(source.parray, lcid);
        } else if (source.vt != VT_EMPTY) {
            return DISP_E_TYPEMISMATCH;
        }
        local_.vt = kStringArray;
        local_.parray = coercedArray_ = array.release();
        return S_OK;
    } catch (const RuntimeError&) {
        return DISP_E_TYPEMISMATCH;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

VARIANT* DispatchArg::variant() noexcept {
    if (!caller_) return nullptr;
    return caller_->vt == (VT_BYREF | VT_VARIANT) ? caller_->pvarVal : caller_;
}

void* DispatchArg::slot() noexcept {
    if (mode_ == Mode::Direct) return caller_->byref;
    // Every member of the union starts at the same address.
    return &local_.bstrVal;
}

void DispatchArg::writeBack() noexcept {
    if (mode_ != Mode::IntoVariant) return;
    // An array that the call left alone stays in the caller's own form.
    if (local_.vt == kStringArray && local_.parray == coercedArray_) return;
    VARIANT* target = caller_->pvarVal;
    const bool heldStrings = (target->vt & ~VT_BYREF) == kStringArray;
    if (local_.vt == kStringArray && !heldStrings) handBackAsVariants();
    VariantClear(target);
    *target = local_;
    VariantInit(&local_);
}

// A new string array goes back to a script's variable as an array of
// Variants, the only arrays a script engine can index; a variable that held
// a string array gets a string array. Without memory for the copy the
// string array goes back as it is.
void DispatchArg::handBackAsVariants() noexcept {
    try {
        SafeArray variants = variantArrayFromStrings(local_.parray);
        SafeArrayDestroy(local_.parray);
        local_.vt = VT_ARRAY | VT_VARIANT;
        local_.parray = variants.release();
    } catch (...) {
    }
}

}  // namespace vamu::com
