#include "com/com_object.h"

#include "com/type_library.h"

namespace vamu::com {

HRESULT typeInfoAt(REFIID iid, UINT index, ITypeInfo** info) noexcept {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return typeInfoOf(iid, info);
}

}  // namespace vamu::com
