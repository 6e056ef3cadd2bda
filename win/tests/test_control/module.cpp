// The test map control's identity, persistence and class information, its
// registration and the DLL's exports.

#include <olectl.h>

#include <string>

#include "test_map.h"
#include "test_map_idl.h"
#include "test_map_state.h"

namespace vamu::testmap {

Module& module() {
    static Module state;
    return state;
}

bool switchOn(const wchar_t* value) {
    wchar_t text[64] = {};
    const DWORD length = GetEnvironmentVariableW(L"VAMU_TEST_MAP", text, 64);
    return length > 0 && length < 64 && std::wstring(text) == value;
}

ComPtr<ITypeInfo> typeInfoOf(REFGUID guid) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module().instance, path, MAX_PATH);
    ComPtr<ITypeLib> library;
    ComPtr<ITypeInfo> info;
    if (SUCCEEDED(LoadTypeLibEx(path, REGKIND_NONE, library.put())))
        library->GetTypeInfoOfGuid(guid, info.put());
    return info;
}

TestMap::TestMap() : classes_(module().instance) { InterlockedIncrement(&module().objects); }

TestMap::~TestMap() {
    if (window_) InterlockedDecrement(&module().active);
    window_.reset();
    InterlockedDecrement(&module().objects);
}

STDMETHODIMP TestMap::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && switchOn(L"null-interface")) return S_OK;  // a careless control
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID__DVamuTestMap) {
        *out = static_cast<IDispatch*>(this);
    } else if (iid == IID_IOleObject) {
        *out = static_cast<IOleObject*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
        *out = static_cast<IOleInPlaceObject*>(this);
    } else if (iid == IID_IPersist || iid == IID_IPersistStreamInit) {
        *out = static_cast<IPersistStreamInit*>(this);
    } else if (iid == IID_IProvideClassInfo) {
        *out = static_cast<IProvideClassInfo*>(this);
    } else if (iid == IID_IConnectionPointContainer) {
        *out = static_cast<IConnectionPointContainer*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) TestMap::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) TestMap::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP TestMap::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_VamuTestMap;
    return S_OK;
}

STDMETHODIMP TestMap::IsDirty() { return S_FALSE; }
STDMETHODIMP TestMap::Load(LPSTREAM) { return E_NOTIMPL; }
STDMETHODIMP TestMap::Save(LPSTREAM, BOOL) { return E_NOTIMPL; }
STDMETHODIMP TestMap::GetSizeMax(ULARGE_INTEGER*) { return E_NOTIMPL; }

STDMETHODIMP TestMap::InitNew() {
    settings_ = mapcontrol::PersistedSettings{};
    return S_OK;
}

STDMETHODIMP TestMap::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = typeInfoOf(CLSID_VamuTestMap).detach();
    return *info ? S_OK : TYPE_E_CANTLOADLIBRARY;
}

STDMETHODIMP TestMap::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points) *points = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestMap::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (iid != DIID__DVamuTestMapEvents) return CONNECT_E_NOCONNECTION;
    events_.AddRef();
    *point = &events_;
    return S_OK;
}

namespace {

const wchar_t kProgId[] = L"ProAtlas2002CtrlLib.ProAtlasCtrl";

std::wstring guidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

LSTATUS setValue(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    LSTATUS status =
        RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    RegCloseKey(key);
    return status;
}

}  // namespace

}  // namespace vamu::testmap

using namespace vamu::testmap;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        module().instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_VamuTestMap) return CLASS_E_CLASSNOTAVAILABLE;
    return classFactory()->QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() { return module().objects == 0 && module().locks == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module().instance, path, MAX_PATH);
    const std::wstring clsid = guidText(CLSID_VamuTestMap);
    const std::wstring key = L"CLSID\\" + clsid;
    const std::pair<std::wstring, std::pair<const wchar_t*, std::wstring>> values[] = {
        {key, {nullptr, L"vamuMapserver test map control"}},
        {key + L"\\InprocServer32", {nullptr, path}},
        {key + L"\\InprocServer32", {L"ThreadingModel", L"Apartment"}},
        {key + L"\\ProgID", {nullptr, kProgId}},
        {key + L"\\Control", {nullptr, L""}},
        {key + L"\\TypeLib", {nullptr, guidText(LIBID_VamuTestMapLib)}},
        {key + L"\\Version", {nullptr, L"1.0"}},
        {kProgId, {nullptr, L"vamuMapserver test map control"}},
        {std::wstring(kProgId) + L"\\CLSID", {nullptr, clsid}},
    };
    for (const auto& [name, value] : values) {
        if (setValue(name, value.first, value.second) != ERROR_SUCCESS) return SELFREG_E_CLASS;
    }
    ComPtr<ITypeLib> library;
    return SUCCEEDED(LoadTypeLibEx(path, REGKIND_REGISTER, library.put())) ? S_OK : SELFREG_E_TYPELIB;
}

STDAPI DllUnregisterServer() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + guidText(CLSID_VamuTestMap)).c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, (L"CLSID\\" + guidText(CLSID_VamuTestMap)).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, kProgId);
    UnRegisterTypeLib(LIBID_VamuTestMapLib, 1, 0, 0, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    return S_OK;
}

extern "C" void WINAPI TestMapState(TestMapReport* state) {
    const Module& m = module();
    *state = {m.objects, m.connections, m.sinkRefs, m.userMode, m.ambientFont, m.fired, m.licensed};
}
