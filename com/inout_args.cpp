#include "com/inout_args.h"

#include "com/error_report.h"
#include "com/string_array.h"
#include "win/platform/bstr.h"
#include "win/platform/dispatch.h"
#include "win/win_platform.h"

namespace vamu::com {

void throwNullArgument() { throw nullArgument(); }

StringInOut::StringInOut(BSTR* slot) : slot_(slot) {
    if (!slot_) throwNullArgument();
    value = win::fromBstr(*slot_);
    original_ = value;
}

void StringInOut::commit() {
    if (value == original_) return;
    win::Bstr text(value);
    SysFreeString(*slot_);
    *slot_ = text.detach();
    original_ = value;
}

ObjectInOut::ObjectInOut(IDispatch** slot) : slot_(slot) {
    if (!slot_) throwNullArgument();
    value = win::wrapDispatch(*slot_);
}

void ObjectInOut::commit() {
    IDispatch* now = win::dispatchOf(value);
    if (now == *slot_) return;
    if (now) now->AddRef();
    if (*slot_) (*slot_)->Release();
    *slot_ = now;
}

StringArrayInOut::StringArrayInOut(SAFEARRAY** slot, Use use) : slot_(slot), output_(use == Use::Output) {
    if (!slot_) throwNullArgument();
    if (output_) return;  // the caller's contents are discarded unread
    value = readStringArray(*slot_);
    original_ = value;
}

void StringArrayInOut::commit() {
    if (!output_ && value == original_) return;
    SafeArray replacement = makeStringArray(value);
    if (*slot_) {
        const HRESULT hr = SafeArrayDestroy(*slot_);
        if (FAILED(hr)) {
            throw RuntimeError::foreign(static_cast<std::uint32_t>(hr),
                                        u"This array is fixed or temporarily locked");
        }
    }
    *slot_ = replacement.release();
    original_ = value;
    output_ = false;
}

BooleanResult::BooleanResult(VARIANT_BOOL* slot) : slot_(slot) {
    if (!slot_) throwNullArgument();
}

StringIn::StringIn(BSTR text) : value(win::fromBstr(text)) {}

StringResult::StringResult(BSTR* slot) : slot_(slot) {
    if (!slot_) throwNullArgument();
}

void StringResult::commit() { *slot_ = win::Bstr(value).detach(); }

}  // namespace vamu::com
