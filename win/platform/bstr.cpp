#include "win/platform/bstr.h"

#include <new>

namespace vamu::win {

std::u16string fromBstr(BSTR text) {
    if (!text) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

Bstr::Bstr(std::u16string_view text) : text_(SysAllocStringLen(wide(text), static_cast<UINT>(text.size()))) {
    if (!text_) throw std::bad_alloc();
}

}  // namespace vamu::win
