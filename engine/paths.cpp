#include "engine/paths.h"

namespace vamu {

std::u16string joinPath(std::u16string_view directory, std::u16string_view name) {
    while (!directory.empty() && (directory.back() == u'\\' || directory.back() == u'/')) {
        directory.remove_suffix(1);
    }
    while (!name.empty() && (name.front() == u'\\' || name.front() == u'/')) {
        name.remove_prefix(1);
    }
    std::u16string path(directory);
    path += u'\\';
    path += name;
    return path;
}

}  // namespace vamu
