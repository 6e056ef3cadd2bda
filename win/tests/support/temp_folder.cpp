#include "win/tests/support/temp_folder.h"

#include "win/platform/bstr.h"
#include "win/platform/file_io.h"

namespace vamu::wine_test {

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    root_ = std::u16string(reinterpret_cast<const char16_t*>(base)) + u"vamu-wine_test-" +
            std::u16string(reinterpret_cast<const char16_t*>(std::to_wstring(GetCurrentProcessId()).c_str()));
    CreateDirectoryW(win::wide(root_), nullptr);
}

namespace {

// Removes the folder with everything below it.
void removeTree(const std::u16string& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(win::wide(folder + u"\\*"), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::u16string name(reinterpret_cast<const char16_t*>(found.cFileName));
            if (name == u"." || name == u"..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(folder + u"\\" + name);
            } else {
                SetFileAttributesW(win::wide(folder + u"\\" + name), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(win::wide(folder + u"\\" + name));
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(win::wide(folder));
}

}  // namespace

TempFolder::~TempFolder() { removeTree(root_); }

std::u16string TempFolder::listing() const {
    std::u16string names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(win::wide(path(u"*")), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names += reinterpret_cast<const char16_t*>(found.cFileName);
            names += u';';
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

bool fileExists(const std::u16string& path) {
    return GetFileAttributesW(win::wide(path)) != INVALID_FILE_ATTRIBUTES;
}

void writeText(const std::u16string& path, const std::string& bytes) {
    win::replaceFile(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace vamu::wine_test
