#pragma once
// A run-time error handed back through IDispatch::Invoke.

#include <windows.h>
#include <oaidl.h>

#include "contracts/runtime_error.h"

namespace vamu::win::activex {

// Fills *info (when given) and returns DISP_E_EXCEPTION; without an
// EXCEPINFO the error's own HRESULT.
HRESULT reportToInvoke(const RuntimeError& error, EXCEPINFO* info) noexcept;

// The same for whatever the current catch block holds.
HRESULT reportCurrentException(EXCEPINFO* info) noexcept;

}  // namespace vamu::win::activex
