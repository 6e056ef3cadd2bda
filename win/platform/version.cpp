#include "win/platform/version.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "win/platform/bstr.h"

namespace vamu::win {
namespace {

std::u16string readProductName(const std::u16string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(wide(path), &ignored);
    if (size == 0) return {};
    std::vector<std::uint8_t> block(size);
    if (!GetFileVersionInfoW(wide(path), 0, size, block.data())) return {};

    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &length) ||
        length < sizeof(Translation)) {
        return {};
    }
    wchar_t query[64];
    std::swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\ProductName", translations[0].language,
                  translations[0].codePage);
    wchar_t* name = nullptr;
    if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&name), &length) || !name) return {};
    std::u16string text(reinterpret_cast<const char16_t*>(name), length);
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    return text;
}

}  // namespace

std::u16string modulePath(HMODULE module) {
    std::u16string path(MAX_PATH, u'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, reinterpret_cast<wchar_t*>(path.data()),
                                                static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::u16string WinVersionInfo::productName() {
    if (!read_) {
        productName_ = readProductName(modulePath(module_));
        read_ = true;
    }
    return productName_;
}

}  // namespace vamu::win
