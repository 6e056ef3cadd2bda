#pragma once
// Late-bound calls through IDispatch, by member name or by dispatch
// identifier, with the arguments in their natural order. A failed call
// raises the run-time error VB would report for it.

#include <windows.h>
#include <oaidl.h>

#include <span>
#include <string_view>

#include "contracts/automation.h"
#include "win/platform/com_ptr.h"
#include "win/platform/variant.h"

namespace vamu::win {

enum class CallKind : WORD {
    Method = DISPATCH_METHOD,
    Get = DISPATCH_PROPERTYGET,
    MethodOrGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET,
    Put = DISPATCH_PROPERTYPUT,
    PutRef = DISPATCH_PROPERTYPUTREF,
};

// GetIDsOfNames for one name; an unknown name is error 438.
DISPID dispidOf(IDispatch* object, std::u16string_view name);

// The arguments are passed as they are (by-reference ones included) and are
// not changed by the call itself. A put passes its single argument as the
// named DISPID_PROPERTYPUT value.
Variant invoke(IDispatch* object, DISPID member, CallKind kind, std::span<VARIANT> args = {});
Variant invoke(IDispatch* object, std::u16string_view member, CallKind kind, std::span<VARIANT> args = {});

// Shorthands for calls by name.
Variant getProperty(IDispatch* object, std::u16string_view name);
void putProperty(IDispatch* object, std::u16string_view name, Variant value);

// The base of a view of one object whose members it calls by name.
class LateBound {
public:
    explicit LateBound(ComPtr<IDispatch> object) noexcept : object_(std::move(object)) {}

protected:
    IDispatch* object() const noexcept { return object_.get(); }
    Variant property(std::u16string_view name) const { return getProperty(object_.get(), name); }
    void setProperty(std::u16string_view name, Variant value) const {
        putProperty(object_.get(), name, std::move(value));
    }

private:
    ComPtr<IDispatch> object_;
};

// An object handed over by a caller: one counted reference, released when
// the last ObjectRef to it goes.
class DispatchObject : public AutomationObject {
public:
    explicit DispatchObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}
    IDispatch* get() const noexcept { return object_.get(); }

private:
    ComPtr<IDispatch> object_;
};

// The IDispatch behind an ObjectRef; null for a null reference. An object
// of another kind is error 13.
IDispatch* dispatchOf(const ObjectRef& object);

}  // namespace vamu::win
