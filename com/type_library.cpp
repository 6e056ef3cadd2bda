#include "com/type_library.h"

#include "com/server_lifetime.h"
#include "win/platform/com_ptr.h"

namespace vamu::com {

std::wstring dllPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(dllModule(), path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

HRESULT loadTypeLibrary(ITypeLib** library) noexcept {
    if (!library) return E_POINTER;
    *library = nullptr;
    try {
        return LoadTypeLibEx(dllPath().c_str(), REGKIND_NONE, library);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT loadTypeInfo(REFGUID guid, ITypeInfo** info) noexcept {
    if (!info) return E_POINTER;
    *info = nullptr;
    win::ComPtr<ITypeLib> library;
    const HRESULT hr = loadTypeLibrary(library.put());
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(guid, info);
}

}  // namespace vamu::com
