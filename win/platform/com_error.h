#pragma once
// Failures of outside calls turned into the run-time errors the core raises:
// a VB error carried in an HRESULT of the 0x800A facility becomes that error
// with its description kept, a few automation failures become the VB error
// VB itself raises for them, and everything else travels as a foreign error.

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "contracts/runtime_error.h"

namespace vamu::win {

RuntimeError errorFromHresult(HRESULT hr, std::u16string description = {}, std::u16string source = {});

// The error an IDispatch::Invoke reported through its EXCEPINFO. Frees the
// strings in it.
RuntimeError errorFromExcepInfo(EXCEPINFO& info);

// The error of a failed vtable call on object: the thread's error object
// when the object says it supports one for iid, otherwise the HRESULT alone.
RuntimeError errorFromCall(HRESULT hr, IUnknown* object, REFIID iid);

// A failed file operation by its Win32 error code: 53, 76, 75, 70 and so on.
RuntimeError errorFromWin32(DWORD code);

// The system's text for an HRESULT, without the trailing line break.
std::u16string systemMessage(HRESULT hr);

// Raises errorFromHresult when hr is a failure.
inline void check(HRESULT hr) {
    if (FAILED(hr)) throw errorFromHresult(hr);
}

}  // namespace vamu::win
