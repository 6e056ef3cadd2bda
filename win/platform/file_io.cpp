#include "win/platform/file_io.h"

#include <windows.h>

#include <algorithm>

#include "win/platform/bstr.h"
#include "win/platform/com_error.h"
#include "win/platform/file_faults.h"
#include "win/platform/handles.h"

namespace vamu::win {
namespace {

[[noreturn]] void raiseLastError() { throw errorFromWin32(GetLastError()); }

void writeAll(HANDLE file, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 24));
        DWORD written = 0;
        if (!file_calls::write(file, bytes.data(), chunk, &written)) raiseLastError();
        if (written == 0) throw errorFromWin32(ERROR_WRITE_FAULT);
        bytes = bytes.subspan(written);
    }
}

// A read-only file or a folder in the way is refused, as the native build
// refuses it, rather than replaced by the move.
void refuseReadOnlyTarget(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(wide(path));
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
        raise(ErrorNumber::PathFileAccessError);
}

}  // namespace

TemporaryFile::~TemporaryFile() {
    if (!path_.empty()) DeleteFileW(wide(path_));
}

void makeFoldersTo(const std::u16string& path) {
    // Drive roots ("C:") and the empty parts of a UNC name are not made.
    for (std::size_t at = path.find_first_of(u"\\/", 1); at != std::u16string::npos;
         at = path.find_first_of(u"\\/", at + 1)) {
        const std::u16string folder = path.substr(0, at);
        if (folder.back() != u':' && folder.back() != u'\\' && folder.back() != u'/')
            CreateDirectoryW(wide(folder), nullptr);
    }
}

std::vector<std::uint8_t> readWholeFile(const std::u16string& path) {
    UniqueFile file(CreateFileW(wide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) raiseLastError();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) raiseLastError();
    if (size.QuadPart > 0x7FFFFFFF) raise(ErrorNumber::OutOfMemory);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read,
                      nullptr)) {
            raiseLastError();
        }
        if (read == 0) break;  // the file shrank meanwhile
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

void replaceFile(const std::u16string& path, std::span<const std::uint8_t> bytes) {
    replaceFile(path, [&](const ByteSink& write) { write(bytes); });
}

void replaceFile(const std::u16string& path, const std::function<void(const ByteSink& write)>& produce) {
    refuseReadOnlyTarget(path);
    // A create that failed may still have made the file: it goes too.
    TemporaryFile temporary(path + u".tmp~");
    UniqueFile file(file_calls::createForWriting(wide(temporary.path())));
    if (!file) raiseLastError();
    produce([&](std::span<const std::uint8_t> piece) { writeAll(file.get(), piece); });
    // A failed close may have lost written bytes: the file is not moved.
    if (!file_calls::close(file.release())) raiseLastError();
    // No flush: the file is rewritten by every request and only has to be
    // whole, which the move over the old one gives.
    if (!file_calls::moveOver(wide(temporary.path()), wide(path))) raiseLastError();
    temporary.keep();
}

}  // namespace vamu::win
