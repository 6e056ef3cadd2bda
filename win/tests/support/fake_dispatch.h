#pragma once
// A scriptable IDispatch for the Wine checks: members by name (dispatch id =
// position + 1), every call recorded, answers given by a handler.

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

namespace vamu::wine_test {

struct RecordedArg {
    VARTYPE type = VT_EMPTY;
    std::u16string text;      // a string's characters
    double number = 0.0;      // a number's value
    void* pointer = nullptr;  // a by-reference target or an object
};

struct RecordedCall {
    DISPID member = 0;
    WORD flags = 0;
    std::vector<RecordedArg> args;  // natural order
    std::vector<DISPID> named;
};

class FakeDispatch : public IDispatch {
public:
    using Handler = std::function<HRESULT(const RecordedCall& call, DISPPARAMS* params, VARIANT* result,
                                          EXCEPINFO* info)>;

    // Starts with one reference, which the creator owns.
    FakeDispatch(std::vector<std::u16string> names, Handler handler, std::vector<IID> alsoAnswers = {});
    virtual ~FakeDispatch() = default;

    ULONG refs() const noexcept { return refs_; }
    const std::vector<RecordedCall>& calls() const noexcept { return calls_; }
    DISPID id(const std::u16string& name) const;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* info, UINT* argError) override;

private:
    ULONG refs_ = 1;
    std::vector<std::u16string> names_;
    Handler handler_;
    std::vector<IID> alsoAnswers_;
    std::vector<RecordedCall> calls_;
};

// A handler that succeeds and returns nothing.
HRESULT succeed(const RecordedCall&, DISPPARAMS*, VARIANT*, EXCEPINFO*);

// Fills an EXCEPINFO for a failure and returns DISP_E_EXCEPTION.
HRESULT raiseException(EXCEPINFO* info, HRESULT scode, const wchar_t* description, const wchar_t* source);

}  // namespace vamu::wine_test
