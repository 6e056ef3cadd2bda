#include "com/error_report.h"

#include <exception>
#include <new>
#include <string>

#include "win/platform/bstr.h"
#include "win/platform/com_ptr.h"

namespace vamu::com {
namespace {

const std::u16string& sourceOf(const RuntimeError& error) {
    static const std::u16string own(kErrorSource);
    return error.source().empty() ? own : error.source();
}

BSTR allocate(const std::u16string& text) noexcept {
    return SysAllocStringLen(win::wide(text), static_cast<UINT>(text.size()));
}

}  // namespace

HRESULT hresultFor(const RuntimeError& error) noexcept { return static_cast<HRESULT>(error.hresult()); }

HRESULT reportToInvoke(const RuntimeError& error, EXCEPINFO* info) noexcept {
    if (!info) return hresultFor(error);
    *info = EXCEPINFO{};
    info->bstrSource = allocate(sourceOf(error));
    info->bstrDescription = allocate(error.description());
    info->scode = hresultFor(error);
    return DISP_E_EXCEPTION;
}

HRESULT reportToCaller(const RuntimeError& error, REFIID iid) noexcept {
    win::ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.put()))) {
        create->SetGUID(iid);
        create->SetSource(const_cast<LPOLESTR>(win::wide(sourceOf(error))));
        create->SetDescription(const_cast<LPOLESTR>(win::wide(error.description())));
        win::ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create.query(IID_IErrorInfo, info))) SetErrorInfo(0, info.get());
    }
    return hresultFor(error);
}

HRESULT reportStatus(const Status& status, REFIID iid) noexcept {
    return status.ok() ? S_OK : reportToCaller(*status.error, iid);
}

RuntimeError nullArgument() {
    return RuntimeError::foreign(static_cast<std::uint32_t>(E_POINTER), u"Invalid pointer");
}

RuntimeError currentFailure() {
    try {
        throw;
    } catch (const RuntimeError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return RuntimeError::foreign(static_cast<std::uint32_t>(E_OUTOFMEMORY), u"Out of memory");
    } catch (const std::exception& e) {
        std::u16string text = u"Unexpected failure: ";
        for (const char* c = e.what(); *c; ++c) text += static_cast<char16_t>(static_cast<unsigned char>(*c));
        return RuntimeError::foreign(static_cast<std::uint32_t>(E_UNEXPECTED), text);
    } catch (...) {
        return RuntimeError::foreign(static_cast<std::uint32_t>(E_UNEXPECTED), u"Unexpected failure");
    }
}

HRESULT reportCurrentFailure(REFIID iid) noexcept {
    try {
        return reportToCaller(currentFailure(), iid);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT reportCurrentFailureToInvoke(EXCEPINFO* info) noexcept {
    try {
        return reportToInvoke(currentFailure(), info);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace vamu::com
