#include "com/registration.h"

#include <oleauto.h>

#include <string>

#include "com/type_library.h"
#include "vamuMapserver.h"
#include "win/platform/com_ptr.h"

namespace vamu::com {
namespace {

struct ClassEntry {
    const CLSID& clsid;
    const wchar_t* progId;
};

const ClassEntry kClasses[] = {
    {CLSID_clsMapServ, L"vamuMapserver.clsMapServ"},
    {CLSID_clsMapServerEvents, L"vamuMapserver.clsMapServerEvents"},
};

constexpr WORD kMajor = 1, kMinor = 0;
constexpr LCID kLocale = 0x0409;

std::wstring guidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

class RegKey {
public:
    RegKey() noexcept = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* put() noexcept { return &key_; }
    HKEY get() const noexcept { return key_; }

private:
    HKEY key_ = nullptr;
};

// Creates HKCR\path and sets one value (name null: the default value).
LSTATUS setValue(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    RegKey key;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                     key.put(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
}

LSTATUS registerClass(const ClassEntry& entry, const std::wstring& path) {
    const std::wstring clsid = guidText(entry.clsid);
    const std::wstring classKey = L"CLSID\\" + clsid;
    const std::wstring progId = entry.progId;
    const std::pair<std::wstring, std::pair<const wchar_t*, std::wstring>> values[] = {
        {classKey, {nullptr, progId}},
        {classKey + L"\\InprocServer32", {nullptr, path}},
        {classKey + L"\\InprocServer32", {L"ThreadingModel", L"Apartment"}},
        {classKey + L"\\ProgID", {nullptr, progId}},
        {classKey + L"\\VersionIndependentProgID", {nullptr, progId}},
        {classKey + L"\\TypeLib", {nullptr, guidText(LIBID_vamuMapserver)}},
        {classKey + L"\\VERSION", {nullptr, L"1.0"}},
        {classKey + L"\\Programmable", {nullptr, L""}},
        {progId, {nullptr, progId}},
        {progId + L"\\CLSID", {nullptr, clsid}},
    };
    for (const auto& [key, value] : values) {
        const LSTATUS status = setValue(key, value.first, value.second);
        if (status != ERROR_SUCCESS) return status;
    }
    return ERROR_SUCCESS;
}

// Removes HKCR\path with everything below it.
LSTATUS deleteTree(const std::wstring& path) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

SYSKIND ownSysKind() { return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32; }

}  // namespace

HRESULT registerServer() noexcept {
    try {
        const std::wstring path = dllPath();
        if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
        for (const ClassEntry& entry : kClasses) {
            const LSTATUS status = registerClass(entry, path);
            if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
        }
        win::ComPtr<ITypeLib> library;
        HRESULT hr = loadTypeLibrary(library.put());
        if (FAILED(hr)) return hr;
        std::wstring libraryPath = path;  // RegisterTypeLib wants a writable string
        return RegisterTypeLib(library.get(), libraryPath.data(), nullptr);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT unregisterServer() noexcept {
    try {
        HRESULT result = S_OK;
        for (const ClassEntry& entry : kClasses) {
            for (const std::wstring& key : {L"CLSID\\" + guidText(entry.clsid), std::wstring(entry.progId)}) {
                const LSTATUS status = deleteTree(key);
                if (status != ERROR_SUCCESS) result = HRESULT_FROM_WIN32(status);
            }
        }
        // A library that is not registered is no failure here.
        UnRegisterTypeLib(LIBID_vamuMapserver, kMajor, kMinor, kLocale, ownSysKind());
        return result;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace vamu::com
