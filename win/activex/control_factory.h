#pragma once
// A new instance of an installed control, asked of its class object for
// IUnknown only: every other interface is reached by QueryInterface, so a
// class object that hands back some interface of its own whatever was asked
// still gives a usable object to ask. A class object that offers
// IClassFactory2 (a licensed control) is asked for a run-time licence key
// when it says it has one, and the instance is made with that key.

#include <windows.h>
#include <unknwn.h>

#include "win/platform/com_ptr.h"

namespace vamu::win::activex {

// The new instance, or the failure: CLASS_E_NOTLICENSED when the control
// is licensed and this machine holds no licence, E_NOINTERFACE when the
// class object reported success without a pointer.
HRESULT createControl(const CLSID& clsid, ComPtr<IUnknown>& control) noexcept;

}  // namespace vamu::win::activex
