#include "com/class_factory.h"

#include <new>

#include "com/apartment.h"
#include "com/map_serv_object.h"
#include "com/map_server_events_object.h"

namespace vamu::com {
namespace {

HRESULT makeMapServ(IUnknown** object) {
    try {
        *object = static_cast<_clsMapServ*>(new MapServObject(apartmentModule()));
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT makeMapServerEvents(IUnknown** object) {
    try {
        *object = static_cast<_clsMapServerEvents*>(new MapServerEventsObject());
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// Hands the caller the interface it asked for and drops the creator's
// reference.
HRESULT handOver(IUnknown* made, REFIID iid, void** object) {
    const HRESULT hr = made->QueryInterface(iid, object);
    made->Release();
    return hr;
}

}  // namespace

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ClassFactory::AddRef() { return refs_.addRef(); }

ULONG ClassFactory::Release() {
    const ULONG left = refs_.release();
    if (left == 0) delete this;
    return left;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    IUnknown* made = nullptr;
    const HRESULT hr = maker_(&made);
    if (FAILED(hr)) return hr;
    return handOver(made, iid, object);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    lockServer(lock != FALSE);
    return S_OK;
}

HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    ClassFactory::Maker maker = nullptr;
    if (IsEqualCLSID(clsid, CLSID_clsMapServ)) {
        maker = makeMapServ;
    } else if (IsEqualCLSID(clsid, CLSID_clsMapServerEvents)) {
        maker = makeMapServerEvents;
    } else {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    auto* factory = new (std::nothrow) ClassFactory(maker);
    if (!factory) return E_OUTOFMEMORY;
    return handOver(factory, iid, object);
}

}  // namespace vamu::com
