#include "win/platform/profile.h"

#include <windows.h>

#include "win/platform/bstr.h"

namespace vamu::win {

std::string toAnsi(const std::u16string& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide(text), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_ACP, 0, wide(text), length, out.data(), size, nullptr, nullptr);
    return out;
}

bool WinProfileWriter::writeString(const std::u16string& section, const std::u16string& key,
                                   const std::u16string& value, const std::u16string& file) {
    const std::string a = toAnsi(section), b = toAnsi(key), c = toAnsi(value), d = toAnsi(file);
    return WritePrivateProfileStringA(a.c_str(), b.c_str(), c.c_str(), d.c_str()) != FALSE;
}

}  // namespace vamu::win
