#pragma once
// Reaching the server from the test host: creating its classes by ProgID,
// and asking the loaded DLL whether it can be unloaded.

#include <windows.h>
#include <oaidl.h>

#include "win/platform/com_ptr.h"

namespace vamu::wine_test {

win::ComPtr<IDispatch> createByProgId(const wchar_t* progId);

// DllCanUnloadNow of the loaded vamuMapserver.dll, called directly.
HRESULT dllCanUnloadNow();

}  // namespace vamu::wine_test
