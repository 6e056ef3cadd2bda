#include "server_access.h"

#include "win/tests/support/check.h"

namespace vamu::wine_test {

win::ComPtr<IDispatch> createByProgId(const wchar_t* progId) {
    win::ComPtr<IDispatch> object;
    CLSID clsid{};
    CHECK_HR(S_OK, CLSIDFromProgID(progId, &clsid));
    CHECK_HR(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.putVoid()));
    return object;
}

HRESULT dllCanUnloadNow() {
    HMODULE dll = GetModuleHandleW(L"vamuMapserver.dll");
    if (!dll) return E_FAIL;
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
    return entry ? entry() : E_FAIL;
}

}  // namespace vamu::wine_test
