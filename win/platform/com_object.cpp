#include "win/platform/com_object.h"

namespace vamu::win {

HRESULT queryInterface(REFIID iid, void** out, std::initializer_list<InterfaceEntry> entries) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const InterfaceEntry& entry : entries) {
        if (!IsEqualIID(iid, *entry.iid)) continue;
        entry.pointer->AddRef();
        *out = entry.pointer;
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP UntypedDispatch::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP UntypedDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

STDMETHODIMP UntypedDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
    for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

}  // namespace vamu::win
