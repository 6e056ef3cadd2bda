#include "com/com_object.h"

#include "com/type_library.h"

namespace vamu::com {

HRESULT TypeInfoCache::get(UINT index, ITypeInfo** info) noexcept {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    if (!info_) {
        const HRESULT hr = loadTypeInfo(guid_, info_.put());
        if (FAILED(hr)) return hr;
    }
    info_->AddRef();
    *info = info_.get();
    return S_OK;
}

}  // namespace vamu::com
