#include "win/activex/control_factory.h"

#include <ocidl.h>

#include "win/platform/bstr.h"

namespace vamu::win::activex {
namespace {

// A successful call must hand out a pointer; one handed out with a failure
// is not trusted.
HRESULT checked(HRESULT hr, ComPtr<IUnknown>& made) noexcept {
    if (FAILED(hr)) made.detach();
    if (SUCCEEDED(hr) && !made) hr = E_NOINTERFACE;
    return hr;
}

// Through IClassFactory2: with the run-time key where the class object has
// one to give, as a plain creation otherwise (the machine itself may be
// licensed).
HRESULT createLicensed(IClassFactory2* factory, ComPtr<IUnknown>& made) noexcept {
    LICINFO info{};
    info.cbLicInfo = sizeof info;
    if (SUCCEEDED(factory->GetLicInfo(&info)) && info.fRuntimeKeyAvail) {
        Bstr key;
        if (SUCCEEDED(factory->RequestLicKey(0, key.put())) && key.get())
            return checked(
                factory->CreateInstanceLic(nullptr, nullptr, IID_IUnknown, key.get(), made.putVoid()), made);
    }
    return checked(factory->CreateInstance(nullptr, IID_IUnknown, made.putVoid()), made);
}

}  // namespace

HRESULT createControl(const CLSID& clsid, ComPtr<IUnknown>& control) noexcept {
    control.reset();
    ComPtr<IClassFactory> factory;
    HRESULT hr = CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.putVoid());
    if (FAILED(hr)) {
        factory.detach();
        return hr;
    }
    if (!factory) return E_NOINTERFACE;
    ComPtr<IClassFactory2> licensed;
    if (SUCCEEDED(factory.query(IID_IClassFactory2, licensed)))
        return createLicensed(licensed.get(), control);
    return checked(factory->CreateInstance(nullptr, IID_IUnknown, control.putVoid()), control);
}

}  // namespace vamu::win::activex
