#pragma once
// What every COM object of this server shares: its reference count, its
// share in keeping the DLL loaded, and the type description that
// IDispatch::GetTypeInfo and IProvideClassInfo hand out.

#include <windows.h>
#include <oaidl.h>

#include <atomic>

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

// GetTypeInfoCount / GetTypeInfo of a dual interface, loaded on first use.
class TypeInfoCache {
public:
    explicit TypeInfoCache(const GUID& guid) noexcept : guid_(guid) {}
    HRESULT get(UINT index, ITypeInfo** info) noexcept;

private:
    const GUID& guid_;
    win::ComPtr<ITypeInfo> info_;
};

}  // namespace vamu::com
