#pragma once
// Late-bound calls as the test host makes them: arguments in their natural
// order, by reference to the test's own variables the way VB passes them,
// or as VARIANTs the way a script does.

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

namespace vamu::host {

DISPID idOf(IDispatch* object, const wchar_t* name);

class CallOutcome {
public:
    CallOutcome() noexcept;
    ~CallOutcome();
    CallOutcome(const CallOutcome&) = delete;
    CallOutcome& operator=(const CallOutcome&) = delete;
    CallOutcome(CallOutcome&& other) noexcept;
    CallOutcome& operator=(CallOutcome&& other) noexcept;

    HRESULT hr = E_FAIL;
    VARIANT result;
    EXCEPINFO info;
    UINT argErr = ~0u;

    HRESULT scode() const noexcept { return info.scode; }
    std::wstring source() const;
    std::wstring description() const;
    // The Boolean result (VT_BOOL required).
    bool isTrue() const noexcept { return result.vt == VT_BOOL && result.boolVal == VARIANT_TRUE; }
    bool isFalse() const noexcept { return result.vt == VT_BOOL && result.boolVal == VARIANT_FALSE; }
};

CallOutcome invoke(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args,
                   std::vector<DISPID> named = {});
CallOutcome call(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args = {});
CallOutcome get(IDispatch* object, const wchar_t* name);
CallOutcome put(IDispatch* object, const wchar_t* name, VARIANT value);

// By-reference arguments to the test's own variables.
VARIANT ref(double* value);
VARIANT ref(VARIANT_BOOL* value);
VARIANT ref(BSTR* value);
VARIANT ref(IDispatch** value);
VARIANT refI2(SHORT* value);  // SHORT is VARIANT_BOOL's type too
VARIANT ref(LONG* value);
VARIANT ref(SAFEARRAY** value);
VARIANT ref(VARIANT* value);
// Values; the caller owns a string or an object put in.
VARIANT value(double number);
VARIANT value(LONG number);
VARIANT value(IDispatch* object);
VARIANT bstrValue(BSTR text);

// A one-dimensional string array with the given lower bound.
SAFEARRAY* stringArray(const std::vector<std::wstring>& items, LONG lowerBound);
// The elements and bounds of a string array.
std::vector<std::wstring> arrayItems(SAFEARRAY* array);
LONG lowerBound(SAFEARRAY* array);
LONG upperBound(SAFEARRAY* array);
std::wstring text(BSTR value);

}  // namespace vamu::host
