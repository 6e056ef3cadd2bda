#pragma once
// The parameters of the dual interface as the core takes them: each holder
// reads the caller's variable into a C++ value, the core works on that
// value, and commit() stores it back into the caller's variable. A null
// pointer is the error E_POINTER. Each kind of parameter has a holder type of
// its own: a request's holders say how the member is declared (see
// request_member.h).

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "contracts/automation.h"
#include "engine/status.h"
#include "engine/vb.h"

namespace vamu::com {

// String: the caller's BSTR is replaced only when the text changed.
class StringInOut {
public:
    explicit StringInOut(BSTR* slot);
    void commit();
    std::u16string value;

private:
    BSTR* slot_;
    std::u16string original_;
};

// Double, Long, Integer and Boolean alike.
template <class Slot, class Value = Slot>
class ScalarInOut {
public:
    explicit ScalarInOut(Slot* slot);
    void commit() { *slot_ = static_cast<Slot>(value); }
    Value value;

private:
    Slot* slot_;
};

using DoubleInOut = ScalarInOut<double>;
using LongInOut = ScalarInOut<LONG, std::int32_t>;
// VARIANT_BOOL and SHORT are the same C++ type: two classes keep them apart.
struct IntegerInOut : ScalarInOut<SHORT, std::int16_t> {
    using ScalarInOut::ScalarInOut;
};
struct BooleanInOut : ScalarInOut<VARIANT_BOOL, vb::Boolean> {
    using ScalarInOut::ScalarInOut;
};

// A string passed by value (a property's new value): nothing goes back.
class StringIn {
public:
    explicit StringIn(BSTR text);
    void commit() noexcept {}
    std::u16string value;
};

// An object; the caller's variable is only touched when the core put
// another object (or Nothing) into the argument.
class ObjectInOut {
public:
    explicit ObjectInOut(IDispatch** slot);
    void commit();
    ObjectRef value;

private:
    IDispatch** slot_;
};

// A string array: replaced by a new array with bounds 0 To n - 1 when the
// core changed its elements; otherwise the caller's array stays as it was.
// An output array is always replaced, whatever the caller's array held.
class StringArrayInOut {
public:
    enum class Use { InOut, Output };
    explicit StringArrayInOut(SAFEARRAY** slot, Use use = Use::InOut);
    void commit();
    std::vector<std::u16string> value;

private:
    SAFEARRAY** slot_;
    bool output_;
    std::vector<std::u16string> original_;
};

// An optional Variant the request may look at, left as it is; null when the
// caller left it out.
class OptionalVariant {
public:
    explicit OptionalVariant(VARIANT* slot) noexcept : value(slot) {}
    void commit() noexcept {}
    VARIANT* value;
};

// An array the caller only receives.
struct StringArrayOut : StringArrayInOut {
    explicit StringArrayOut(SAFEARRAY** slot) : StringArrayInOut(slot, Use::Output) {}
};

// The [out, retval] Boolean: False until the core says otherwise.
class BooleanResult {
public:
    explicit BooleanResult(VARIANT_BOOL* slot);
    void commit() { *slot_ = value; }
    vb::Boolean value = vb::False;

private:
    VARIANT_BOOL* slot_;
};

// The [out, retval] string: the caller's slot receives a new string.
class StringResult {
public:
    explicit StringResult(BSTR* slot);
    void commit();
    std::u16string value;

private:
    BSTR* slot_;
};

[[noreturn]] void throwNullArgument();

template <class Slot, class Value>
ScalarInOut<Slot, Value>::ScalarInOut(Slot* slot) : slot_(slot) {
    if (!slot_) throwNullArgument();
    value = static_cast<Value>(*slot_);
}

// Stores every holder back (also after a failed request: what the core wrote
// before the failure reached the caller's variables), then passes the
// request's failure on.
template <class... Holders>
void commitAndCheck(const Status& status, Holders&... holders) {
    (holders.commit(), ...);
    if (!status.ok()) throw *status.error;
}

}  // namespace vamu::com
