#pragma once
// The type library embedded in the DLL (resource TYPELIB 1).

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace vamu::com {

// Full path of vamuMapserver.dll as loaded.
std::wstring dllPath();

// The library read from the DLL itself, not registered by the call.
HRESULT loadTypeLibrary(ITypeLib** library) noexcept;

// The description of one of its types (interface or class) by GUID.
HRESULT loadTypeInfo(REFGUID guid, ITypeInfo** info) noexcept;

}  // namespace vamu::com
