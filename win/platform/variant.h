#pragma once
// An owned VARIANT and the conversions of a VARIANT into the core's types,
// with VB's coercion rules (VariantChangeType) and VB's errors on failure.

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "win/platform/com_ptr.h"

namespace vamu::win {

class Variant {
public:
    Variant() noexcept { VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
    Variant& operator=(Variant&& other) noexcept;
    ~Variant() { VariantClear(&value_); }

    static Variant string(std::u16string_view text);
    static Variant i2(std::int16_t value);
    static Variant i4(std::int32_t value);
    static Variant r8(double value);
    static Variant boolean(bool value);
    // An object VARIANT holding its own reference; null is Nothing.
    static Variant dispatch(IDispatch* object);
    // By-reference VARIANTs: they point at the caller's variable and own
    // nothing.
    static Variant refR8(double* target);
    static Variant refI4(std::int32_t* target);
    static Variant refBstr(BSTR* target);

    VARIANT* get() noexcept { return &value_; }
    const VARIANT& ref() const noexcept { return value_; }
    VARTYPE type() const noexcept { return value_.vt; }

private:
    // An empty VARIANT of the type, its value still to be set.
    explicit Variant(VARTYPE type) noexcept : Variant() { value_.vt = type; }
    static Variant byReference(VARTYPE type, void* target) noexcept;

    VARIANT value_;
};

// Conversions of any VARIANT (by-reference ones included): failure is
// error 13 (6 on overflow).
double toDouble(const VARIANT& value);
std::int32_t toLong(const VARIANT& value);
std::u16string toString(const VARIANT& value);
bool toBool(const VARIANT& value);
// An object: null for Nothing (or Empty); error 13 for anything else.
ComPtr<IDispatch> toDispatch(const VARIANT& value);

}  // namespace vamu::win
