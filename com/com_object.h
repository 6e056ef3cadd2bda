#pragma once
// What every COM object of this server shares: its reference count, its
// share in keeping the DLL loaded, and the type description that
// IDispatch::GetTypeInfo hands out.

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

// IDispatch::GetTypeInfo of a dual interface: the process's one
// description of iid at index 0.
HRESULT typeInfoAt(REFIID iid, UINT index, ITypeInfo** info) noexcept;

}  // namespace vamu::com
