#pragma once
// One argument of IDispatch::Invoke, bound to a parameter of the dual
// interface. A VB host passes its variables by reference with their own type
// (VT_BYREF | VT_R8 and so on): the method then works on the caller's
// variable directly. A script passes a reference to a VARIANT
// (VT_BYREF | VT_VARIANT) or a value: it is coerced to the parameter's type
// into a local VARIANT, and after the call a referenced VARIANT receives the
// result in the parameter's type (a new string array as an array of
// Variants, unless the VARIANT held a string array). A value passed by value
// gets nothing back.

#include <windows.h>
#include <oaidl.h>

namespace vamu::com {

class DispatchArg {
public:
    DispatchArg() noexcept { VariantInit(&local_); }
    ~DispatchArg() { VariantClear(&local_); }
    DispatchArg(const DispatchArg&) = delete;
    DispatchArg& operator=(const DispatchArg&) = delete;

    // type: VT_BSTR, VT_BOOL, VT_R8, VT_I2, VT_I4, VT_DISPATCH,
    // VT_ARRAY | VT_BSTR or VT_VARIANT (any argument, taken as it comes). Returns S_OK or DISP_E_TYPEMISMATCH
    // (DISP_E_OVERFLOW for a number out of range, as VariantChangeType reports it).
    HRESULT bind(VARIANTARG& arg, VARTYPE type, LCID lcid);

    // The parameter as the dual interface declares it, a pointer to the
    // bound type's variable (T is BSTR for VT_BSTR and so on).
    template <class T>
    T* as() noexcept {
        return static_cast<T*>(slot());
    }

    // A VT_VARIANT parameter: the caller's VARIANT as it comes (the one a
    // VT_BYREF | VT_VARIANT refers to); null when the argument was left out.
    VARIANT* variant() noexcept;

    // Hands a coerced value back to a referenced VARIANT.
    void writeBack() noexcept;

private:
    enum class Mode { Direct, IntoVariant, ByValue, AsItComes };

    void* slot() noexcept;
    HRESULT coerce(const VARIANT& source, VARTYPE type, LCID lcid);
    HRESULT coerceArray(const VARIANT& source, LCID lcid);
    void handBackAsVariants() noexcept;

    Mode mode_ = Mode::ByValue;
    VARIANTARG* caller_ = nullptr;
    VARIANT local_;
    SAFEARRAY* coercedArray_ = nullptr;  // to tell whether the call replaced it
};

}  // namespace vamu::com
