#pragma once
// The identity of the small COM objects the Windows side implements itself:
// QueryInterface over a table of the interfaces an object answers, a
// reference count that deletes the object with its last reference, and the
// type-information members of an IDispatch that offers none.

#include <windows.h>
#include <oaidl.h>
#include <unknwn.h>

#include <initializer_list>

namespace vamu::win {

// One interface an object answers: the IID asked for and the object's
// pointer for it (several IIDs may share a pointer, as a derived interface
// answers for its bases).
struct InterfaceEntry {
    const IID* iid;
    IUnknown* pointer;
};

// QueryInterface over the table: the pointer of the first entry for iid,
// with a reference added; E_NOINTERFACE with *out cleared when there is
// none; E_POINTER for a null out.
HRESULT queryInterface(REFIID iid, void** out, std::initializer_list<InterfaceEntry> entries) noexcept;

// AddRef and Release for every interface of Object, which derives from
// RefCounted<Object, its interfaces...>. The count starts at 1, the
// creator's reference; Object is deleted when the last one goes, so it is
// made with new and its destructor is reached through this base (declare
// the base a friend when the destructor is private).
template <class Object, class... Interfaces>
class RefCounted : public Interfaces... {
public:
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete static_cast<Object*>(this);
        return static_cast<ULONG>(left);
    }

protected:
    RefCounted() = default;
    ~RefCounted() = default;

private:
    LONG refs_ = 1;
};

// An IDispatch without type information: callers bind by dispatch
// identifier. No names are known (DISP_E_UNKNOWNNAME, every id
// DISPID_UNKNOWN); Invoke is the object's own.
class UntypedDispatch : public IDispatch {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;

protected:
    ~UntypedDispatch() = default;
};

}  // namespace vamu::win
