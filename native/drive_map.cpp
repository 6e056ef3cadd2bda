#include "native/drive_map.h"

#include "contracts/runtime_error.h"
#include "contracts/text.h"

namespace vamu::native {
namespace {

char16_t upper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

}  // namespace

DriveMap::DriveMap() { roots_[u'Z'] = "/"; }

void DriveMap::mount(char16_t letter, std::filesystem::path root) { roots_[upper(letter)] = std::move(root); }

std::filesystem::path DriveMap::toLocal(std::u16string_view windowsPath) const {
    if (windowsPath.size() < 2 || windowsPath[1] != u':') raise(ErrorNumber::PathNotFound);
    const auto root = roots_.find(upper(windowsPath[0]));
    if (root == roots_.end()) raise(ErrorNumber::PathNotFound);
    std::filesystem::path local = root->second;
    std::u16string part;
    auto flush = [&] {
        if (!part.empty()) local /= toUtf8(part);
        part.clear();
    };
    for (char16_t c : windowsPath.substr(2)) {
        if (c == u'\\' || c == u'/') {
            flush();
        } else {
            part += c;
        }
    }
    flush();
    return local;
}

std::u16string DriveMap::toWindows(const std::filesystem::path& local) {
    std::u16string out = u"Z:";
    for (char16_t c : fromUtf8(std::filesystem::absolute(local).lexically_normal().string())) {
        out += c == u'/' ? u'\\' : c;
    }
    if (out == u"Z:") out += u'\\';
    return out;
}

}  // namespace vamu::native
