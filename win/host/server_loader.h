#pragma once
// Creating the map server as a host does: by its ProgID through the
// registry, or, for a DLL that is not registered, straight from that DLL's
// class factory.

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "win/platform/com_ptr.h"

namespace vamu::host {

extern const CLSID kMapServClsid;

// CoCreateInstance("vamuMapserver.clsMapServ"); the failure is thrown as a
// std::runtime_error naming the step and its HRESULT.
win::ComPtr<IDispatch> createRegisteredServer();
// LoadLibrary(dll) and its DllGetClassObject; the DLL stays loaded for the
// rest of the process.
win::ComPtr<IDispatch> createServerFromDll(const std::wstring& dll);

}  // namespace vamu::host
