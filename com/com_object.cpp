#include "com/com_object.h"

#include "com/type_library.h"

namespace vamu::com {

void* interfaceIn(std::initializer_list<InterfaceEntry> entries, REFIID iid) noexcept {
    for (const InterfaceEntry& entry : entries) {
        if (IsEqualIID(entry.iid, iid)) return entry.pointer;
    }
    return nullptr;
}

HRESULT typeInfoCount(UINT* count) noexcept {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT typeInfoAt(REFIID iid, UINT index, ITypeInfo** info) noexcept {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return typeInfoOf(iid, info);
}

}  // namespace vamu::com
