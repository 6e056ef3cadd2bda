// The test map control's class object. Switches (VAMU_TEST_MAP) change how
// it behaves:
//   fail-create       CreateInstance refuses (E_FAIL)
//   wrong-interface   it hands back a plain automation object, not a
//                     control, whatever interface was asked for
//   licensed          it offers IClassFactory2; this machine holds no
//                     licence, but a run-time key is available: plain
//                     creation is refused, creation with the key works
//   licensed-machine  it offers IClassFactory2; this machine is licensed
//                     and no run-time key is given: plain creation works
//   not-licensed      it offers IClassFactory2; no licence and no key:
//                     every creation is refused (CLASS_E_NOTLICENSED)

#include <string_view>

#include "test_map.h"

namespace vamu::testmap {
namespace {

constexpr std::wstring_view kRuntimeKey = L"vamu-test-map-runtime-key";

bool licensing() {
    return switchOn(L"licensed") || switchOn(L"licensed-machine") || switchOn(L"not-licensed");
}

HRESULT make(REFIID iid, void** out) {
    try {
        if (switchOn(L"wrong-interface")) {
            // What a careless class object hands back in place of the control.
            return plainObject()->QueryInterface(IID_IDispatch, out);
        }
        const ComPtr<TestMap> map = ComPtr<TestMap>::attach(new TestMap);
        return map->QueryInterface(iid, out);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

class Factory final : public IClassFactory2 {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory && (iid != IID_IClassFactory2 || !licensing()))
            return E_NOINTERFACE;
        *out = static_cast<IClassFactory2*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // static
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (switchOn(L"fail-create")) return E_FAIL;
        if (switchOn(L"licensed") || switchOn(L"not-licensed")) return CLASS_E_NOTLICENSED;
        return make(iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            InterlockedIncrement(&module().locks);
        } else {
            InterlockedDecrement(&module().locks);
        }
        return S_OK;
    }

    STDMETHODIMP GetLicInfo(LICINFO* info) override {
        if (!info) return E_POINTER;
        info->cbLicInfo = sizeof *info;
        info->fRuntimeKeyAvail = switchOn(L"licensed") ? TRUE : FALSE;
        info->fLicVerified = switchOn(L"licensed-machine") ? TRUE : FALSE;
        return S_OK;
    }
    STDMETHODIMP RequestLicKey(DWORD, BSTR* key) override {
        if (!key) return E_POINTER;
        *key = nullptr;
        if (!switchOn(L"licensed")) return CLASS_E_NOTLICENSED;
        *key = SysAllocStringLen(kRuntimeKey.data(), static_cast<UINT>(kRuntimeKey.size()));
        return *key ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP CreateInstanceLic(IUnknown* outer, IUnknown*, REFIID iid, BSTR key, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (!key || std::wstring_view(key, SysStringLen(key)) != kRuntimeKey) return CLASS_E_NOTLICENSED;
        const HRESULT hr = make(iid, out);
        if (SUCCEEDED(hr)) InterlockedIncrement(&module().licensed);
        return hr;
    }
};

Factory factory;

}  // namespace

IClassFactory* classFactory() noexcept { return &factory; }

}  // namespace vamu::testmap
