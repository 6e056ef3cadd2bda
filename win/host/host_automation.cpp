#include "win/host/host_automation.h"

#include <array>

namespace vamu::host {

const CLSID kHostAutomationClsid = {
    0x33CFA0BD, 0x2826, 0x11D4, {0x82, 0xE8, 0x00, 0xC0, 0xDF, 0x46, 0x4F, 0xC9}};
const IID kHostAutomationIid = {0x84C49058, 0x9EE9, 0x48B0, {0xBE, 0x81, 0x51, 0x6B, 0xC8, 0x6F, 0x63, 0x89}};

namespace {

constexpr std::size_t kMapEntry = 19, kDirectoryEntry = 38, kEntries = 40;

// The one automation object: a bare function table, as a dual interface of
// the host lays it out; only the entries the plug-in uses do anything.
struct Automation {
    const void* const* table;
    ULONG refs = 1;
};

struct State {
    std::wstring directory;
    int made = 0, mapReads = 0, directoryReads = 0;
    PlainObject map{std::vector<IID>{kHostMapIid}};
};

State& state() {
    static State s;
    return s;
}

HRESULT STDMETHODCALLTYPE queryInterface(Automation* self, REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kHostAutomationIid)) {
        *object = self;
        ++self->refs;
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}
ULONG STDMETHODCALLTYPE addRef(Automation* self) { return ++self->refs; }
ULONG STDMETHODCALLTYPE release(Automation* self) { return --self->refs; }
HRESULT STDMETHODCALLTYPE notUsed(Automation*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE getMapObject(Automation*, IDispatch** map) {
    ++state().mapReads;
    *map = &state().map;
    state().map.AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE getDirectory(Automation*, BSTR* directory) {
    ++state().directoryReads;
    *directory = SysAllocString(state().directory.c_str());
    return S_OK;
}

const std::array<const void*, kEntries>& functionTable() {
    static const std::array<const void*, kEntries> table = [] {
        std::array<const void*, kEntries> t{};
        t.fill(reinterpret_cast<const void*>(&notUsed));
        t[0] = reinterpret_cast<const void*>(&queryInterface);
        t[1] = reinterpret_cast<const void*>(&addRef);
        t[2] = reinterpret_cast<const void*>(&release);
        t[kMapEntry] = reinterpret_cast<const void*>(&getMapObject);
        t[kDirectoryEntry] = reinterpret_cast<const void*>(&getDirectory);
        return t;
    }();
    return table;
}

Automation g_automation{functionTable().data()};

class Factory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        ++state().made;
        return queryInterface(&g_automation, iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

}  // namespace

HostAutomationClass::HostAutomationClass(std::wstring installationDirectory) {
    state().directory = std::move(installationDirectory);
    if (FAILED(CoRegisterClassObject(kHostAutomationClsid, &g_factory,
                                     CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                     &cookie_))) {
        cookie_ = 0;
    }
}

HostAutomationClass::~HostAutomationClass() {
    if (cookie_) CoRevokeClassObject(cookie_);
}

int HostAutomationClass::instancesMade() const noexcept { return state().made; }
int HostAutomationClass::mapObjectReads() const noexcept { return state().mapReads; }
int HostAutomationClass::directoryReads() const noexcept { return state().directoryReads; }
PlainObject& HostAutomationClass::mapObject() noexcept { return state().map; }

}  // namespace vamu::host
