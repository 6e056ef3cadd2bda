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

// The description of one of its types (interface or class) by GUID, read
// once per process and shared by every object, as Wine's own automation
// objects keep theirs; *info gets a reference of its own.
HRESULT typeInfoOf(REFGUID guid, ITypeInfo** info) noexcept;

// Drops the process's type descriptions (when the DLL is unloaded).
void releaseTypeInfos() noexcept;

}  // namespace vamu::com
