#include "win/activex/excep_info.h"

#include <new>

#include "win/platform/bstr.h"

namespace vamu::win::activex {

HRESULT reportToInvoke(const RuntimeError& error, EXCEPINFO* info) noexcept {
    const auto hr = static_cast<HRESULT>(error.hresult());
    if (!info) return hr;
    *info = EXCEPINFO{};
    info->scode = hr;
    info->bstrDescription = SysAllocString(wide(error.description()));
    info->bstrSource = SysAllocString(wide(error.source()));
    return DISP_E_EXCEPTION;
}

HRESULT reportCurrentException(EXCEPINFO* info) noexcept {
    try {
        throw;
    } catch (const RuntimeError& error) {
        return reportToInvoke(error, info);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace vamu::win::activex
