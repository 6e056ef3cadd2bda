#pragma once
// What every COM object of this server shares: its reference count, its
// share in keeping the DLL loaded, QueryInterface over the interfaces it
// lists, and the type description that IDispatch::GetTypeInfo hands out.

#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <initializer_list>

#include "com/server_lifetime.h"
#include "win/platform/com_ptr.h"

namespace vamu::com {

class RefCount {
public:
    ULONG addRef() noexcept { return ++count_; }
    ULONG release() noexcept { return --count_; }

private:
    std::atomic<ULONG> count_{1};  // the creator's reference
};

// One interface an object answers QueryInterface with.
struct InterfaceEntry {
    const IID& iid;
    void* pointer;
};

// The pointer listed for iid; null when the object does not have it.
void* interfaceIn(std::initializer_list<InterfaceEntry> entries, REFIID iid) noexcept;

// IUnknown of an object that implements Interfaces: made with one
// reference (the creator's), deleted with the last. interfaceFor() lists
// what QueryInterface hands out; IUnknown must always give the same pointer.
template <class... Interfaces>
class ComObject : public Interfaces... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
        if (!object) return E_POINTER;
        *object = interfaceFor(iid);
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return refs_.addRef(); }
    ULONG STDMETHODCALLTYPE Release() noexcept override {
        const ULONG left = refs_.release();
        if (left == 0) delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    virtual void* interfaceFor(REFIID iid) noexcept = 0;

private:
    ObjectCount live_;
    RefCount refs_;
};

// IDispatch::GetTypeInfoCount of a dual interface: one description.
HRESULT typeInfoCount(UINT* count) noexcept;

// IDispatch::GetTypeInfo of a dual interface: the process's one
// description of iid at index 0.
HRESULT typeInfoAt(REFIID iid, UINT index, ITypeInfo** info) noexcept;

}  // namespace vamu::com
