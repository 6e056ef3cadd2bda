#pragma once
// A request's failure as the caller of a COM method sees it: the HRESULT
// (0x800A0000 + number for a VB error, a foreign HRESULT unchanged), with its
// text in an EXCEPINFO for IDispatch::Invoke or in the thread's error object
// for a vtable call.

#include <windows.h>
#include <oaidl.h>

#include "contracts/runtime_error.h"
#include "engine/status.h"

namespace vamu::com {

// Source named in every error this server reports, unless a foreign error
// brings its own.
inline constexpr char16_t kErrorSource[] = u"vamuMapserver";

HRESULT hresultFor(const RuntimeError& error) noexcept;

// Fills *info and returns DISP_E_EXCEPTION; without an EXCEPINFO the
// error's own HRESULT is returned.
HRESULT reportToInvoke(const RuntimeError& error, EXCEPINFO* info) noexcept;

// Sets the thread's error object (for interface iid) and returns the
// error's HRESULT.
HRESULT reportToCaller(const RuntimeError& error, REFIID iid) noexcept;

// S_OK for a success, reportToCaller otherwise.
HRESULT reportStatus(const Status& status, REFIID iid) noexcept;

// A pointer argument that is null: the HRESULT E_POINTER as an error.
RuntimeError nullArgument();

// The exception being handled (call only inside a catch) as the caller sees
// it: a RuntimeError as it is, running out of memory as E_OUTOFMEMORY,
// anything else as E_UNEXPECTED with what it says.
RuntimeError currentFailure();

// reportToCaller / reportToInvoke of currentFailure(); E_UNEXPECTED alone
// when even that cannot be built.
HRESULT reportCurrentFailure(REFIID iid) noexcept;
HRESULT reportCurrentFailureToInvoke(EXCEPINFO* info) noexcept;

// The one way out of every vtable method and exported function: body gives
// the HRESULT; whatever it throws becomes an HRESULT with error info for
// interface iid, so no exception crosses the COM boundary.
template <class Body>
HRESULT atBoundary(REFIID iid, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return reportCurrentFailure(iid);
    }
}

// The same for IDispatch::Invoke, whose error info goes into the EXCEPINFO.
template <class Body>
HRESULT atInvokeBoundary(EXCEPINFO* info, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return reportCurrentFailureToInvoke(info);
    }
}

}  // namespace vamu::com
