#pragma once
// Self-registration: the two classes with their ProgIDs, the apartment
// threading model and the DLL's path, and the type library.

#include <windows.h>

namespace vamu::com {

HRESULT registerServer() noexcept;
// Removes every key registerServer wrote; keys already gone are no error.
HRESULT unregisterServer() noexcept;

}  // namespace vamu::com
