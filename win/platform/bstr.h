#pragma once
// An owned BSTR and the conversions between BSTR and std::u16string.

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

#include "win/platform/handles.h"

namespace vamu::win {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "BSTR characters are UTF-16 units");

inline const wchar_t* wide(const std::u16string& text) noexcept {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline const wchar_t* wide(std::u16string_view text) noexcept {
    return reinterpret_cast<const wchar_t*>(text.data());
}

// The characters of a BSTR (a null BSTR is the empty string).
std::u16string fromBstr(BSTR text);

class Bstr {
public:
    Bstr() noexcept = default;
    explicit Bstr(std::u16string_view text);  // bad_alloc when out of memory

    static Bstr attach(BSTR text) noexcept {
        Bstr result;
        result.text_.reset(text);
        return result;
    }

    BSTR get() const noexcept { return text_.get(); }
    // The slot itself, for out and by-reference parameters: whatever the
    // callee leaves there is owned by this holder.
    BSTR* put() noexcept { return text_.slot(); }
    BSTR detach() noexcept { return text_.release(); }
    void reset() noexcept { text_.reset(); }

    std::u16string str() const { return fromBstr(text_.get()); }

private:
    static void freeText(BSTR text) noexcept { SysFreeString(text); }

    UniqueHandle<BSTR, freeText> text_;
};

}  // namespace vamu::win
