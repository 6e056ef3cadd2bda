#include "com/type_library.h"

#include <mutex>
#include <utility>
#include <vector>

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

namespace {

// The library and the descriptions asked for so far; a handful at most.
struct SharedTypeInfos {
    std::mutex lock;
    win::ComPtr<ITypeLib> library;
    std::vector<std::pair<GUID, win::ComPtr<ITypeInfo>>> infos;
};

SharedTypeInfos& cache() {
    static SharedTypeInfos* const shared = new SharedTypeInfos;  // outlives static destruction
    return *shared;
}

}  // namespace

HRESULT typeInfoOf(REFGUID guid, ITypeInfo** info) noexcept {
    if (!info) return E_POINTER;
    *info = nullptr;
    try {
        SharedTypeInfos& c = cache();
        const std::lock_guard<std::mutex> hold(c.lock);
        for (const auto& [id, known] : c.infos) {
            if (IsEqualGUID(id, guid)) {
                *info = win::ComPtr<ITypeInfo>(known).detach();
                return S_OK;
            }
        }
        if (!c.library) {
            const HRESULT hr = loadTypeLibrary(c.library.put());
            if (FAILED(hr)) return hr;
        }
        win::ComPtr<ITypeInfo> found;
        const HRESULT hr = c.library->GetTypeInfoOfGuid(guid, found.put());
        if (FAILED(hr)) return hr;
        c.infos.emplace_back(guid, found);
        *info = found.detach();
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

void releaseTypeInfos() noexcept {
    SharedTypeInfos& c = cache();
    const std::lock_guard<std::mutex> hold(c.lock);
    c.infos.clear();
    c.library.reset();
}

}  // namespace vamu::com
