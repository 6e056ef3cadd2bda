#include "win/platform/com_error.h"

#include "win/platform/bstr.h"
#include "win/platform/com_ptr.h"

namespace vamu::win {
namespace {

constexpr std::uint32_t kVbFacility = 0x800A0000u;

bool isVbError(HRESULT hr) { return (static_cast<std::uint32_t>(hr) & 0xFFFF0000u) == kVbFacility; }

// The VB error VB raises itself for a failed late-bound call, 0 for none.
ErrorNumber vbNumberFor(HRESULT hr) {
    switch (hr) {
        case DISP_E_TYPEMISMATCH:
            return ErrorNumber::TypeMismatch;
        case DISP_E_OVERFLOW:
            return ErrorNumber::Overflow;
        case DISP_E_UNKNOWNNAME:
        case DISP_E_MEMBERNOTFOUND:
            return ErrorNumber::ObjectDoesNotSupport;
        case E_OUTOFMEMORY:
            return ErrorNumber::OutOfMemory;
        default:
            return ErrorNumber{};
    }
}

}  // namespace

std::u16string systemMessage(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::u16string text;
    if (buffer) {
        text.assign(reinterpret_cast<const char16_t*>(buffer), length);
        LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) {
        text.pop_back();
    }
    return text.empty() ? u"Automation error" : text;
}

RuntimeError errorFromHresult(HRESULT hr, std::u16string description, std::u16string source) {
    if (isVbError(hr)) {
        const auto number = static_cast<ErrorNumber>(hr & 0xFFFF);
        return description.empty() ? RuntimeError(number) : RuntimeError(number, std::move(description));
    }
    if (const ErrorNumber number = vbNumberFor(hr); number != ErrorNumber{}) {
        return RuntimeError(number);
    }
    if (description.empty()) description = systemMessage(hr);
    return RuntimeError::foreign(static_cast<std::uint32_t>(hr), std::move(description), std::move(source));
}

RuntimeError errorFromExcepInfo(EXCEPINFO& info) {
    if (info.pfnDeferredFillIn) {
        info.pfnDeferredFillIn(&info);
        info.pfnDeferredFillIn = nullptr;
    }
    Bstr description = Bstr::attach(std::exchange(info.bstrDescription, nullptr));
    Bstr source = Bstr::attach(std::exchange(info.bstrSource, nullptr));
    Bstr helpFile = Bstr::attach(std::exchange(info.bstrHelpFile, nullptr));
    HRESULT hr = info.scode;
    if (hr == S_OK) hr = info.wCode ? static_cast<HRESULT>(kVbFacility + info.wCode) : E_FAIL;
    return errorFromHresult(hr, description.str(), source.str());
}

RuntimeError errorFromCall(HRESULT hr, IUnknown* object, REFIID iid) {
    ComPtr<ISupportErrorInfo> support;
    if (object && SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, support.putVoid())) &&
        support->InterfaceSupportsErrorInfo(iid) == S_OK) {
        ComPtr<IErrorInfo> info;
        if (GetErrorInfo(0, info.put()) == S_OK && info) {
            Bstr description;
            Bstr source;
            info->GetDescription(description.put());
            info->GetSource(source.put());
            return errorFromHresult(hr, description.str(), source.str());
        }
    }
    return errorFromHresult(hr);
}

RuntimeError errorFromWin32(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return RuntimeError(ErrorNumber::FileNotFound);
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY:
            return RuntimeError(ErrorNumber::PathNotFound);
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return RuntimeError(ErrorNumber::PathFileAccessError);
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return RuntimeError(ErrorNumber::PermissionDenied);
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return RuntimeError(ErrorNumber::OutOfMemory);
        default:
            return errorFromHresult(HRESULT_FROM_WIN32(code));
    }
}

}  // namespace vamu::win
