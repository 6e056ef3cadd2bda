#include "win/platform/cache_files.h"

#include <windows.h>

#include <algorithm>

#include "contracts/text.h"
#include "win/platform/bstr.h"
#include "win/platform/file_io.h"
#include "win/platform/handles.h"

namespace vamu::win {
namespace {

constexpr int kDeepestFolder = 16;
constexpr std::int64_t kStaleTemporarySeconds = 3600;
constexpr std::int64_t kUnixEpochAsFileTime = 116444736000000000;

std::int64_t unixSeconds(const FILETIME& time) {
    const std::int64_t ticks = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return (ticks - kUnixEpochAsFileTime) / 10000000;
}

std::int64_t nowUnixSeconds() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return unixSeconds(now);
}

bool writeAll(HANDLE file, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 24));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), piece, &written, nullptr) || written == 0) return false;
        bytes = bytes.subspan(written);
    }
    return true;
}

// The move over the old file, tried again for a moment where another
// program (a reader, a virus scanner) holds the old file.
bool moveOver(const std::u16string& from, const std::u16string& to) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(wide(from), wide(to), MOVEFILE_REPLACE_EXISTING)) return true;
        const DWORD error = GetLastError();
        if (attempt == 3 || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)) return false;
        Sleep(static_cast<DWORD>(20 << attempt));
    }
}

}  // namespace

WinCacheFiles::WinCacheFiles(std::u16string root) : root_(std::move(root)) {
    while (!root_.empty() && (root_.back() == u'\\' || root_.back() == u'/')) root_.pop_back();
}

std::optional<std::u16string> WinCacheFiles::pathOf(const std::string& relative) const {
    if (relative.empty() || root_.empty()) return std::nullopt;
    std::u16string path = root_;
    std::string_view rest = relative;
    while (true) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        const bool bad = std::any_of(part.begin(), part.end(), [](char c) {
            return c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20;
        });
        if (part.empty() || part == "." || part == ".." || bad) return std::nullopt;
        path += u'\\';
        path += fromUtf8(part);
        if (slash == std::string_view::npos) return path;
        rest = rest.substr(slash + 1);
    }
}

std::optional<std::vector<std::uint8_t>> WinCacheFiles::read(const std::string& relative,
                                                             std::size_t maxBytes) {
    const auto path = pathOf(relative);
    if (!path) return std::nullopt;
    // FILE_SHARE_DELETE: a replace of the file may go ahead while it is read.
    UniqueFile file(CreateFileW(wide(*path), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, piece, &read, nullptr) || read == 0)
            return std::nullopt;
        done += read;
    }
    return bytes;
}

bool WinCacheFiles::replace(const std::string& relative, std::span<const std::uint8_t> bytes) {
    const auto path = pathOf(relative);
    if (!path) return false;
    // The folders on the way, the root and those above it included: made on
    // the first write, so that a session that stores nothing makes nothing.
    makeFoldersTo(*path);
    TemporaryFile temporary(*path + u"." + decimalText(GetCurrentProcessId()) + u"-" +
                            decimalText(GetCurrentThreadId()) + std::u16string(kTemporaryEnding));
    {
        UniqueFile file(CreateFileW(wide(temporary.path()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            temporary.keep();  // nothing was made
            return false;
        }
        if (!writeAll(file.get(), bytes)) return false;
    }
    if (!moveOver(temporary.path(), *path)) return false;
    temporary.keep();
    return true;
}

bool WinCacheFiles::remove(const std::string& relative) {
    const auto path = pathOf(relative);
    if (!path) return false;
    if (DeleteFileW(wide(*path))) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

void WinCacheFiles::touch(const std::string& relative) {
    const auto path = pathOf(relative);
    if (!path) return;
    UniqueFile file(CreateFileW(wide(*path), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    SetFileTime(file.get(), nullptr, nullptr, &now);
}

std::vector<CacheFiles::Entry> WinCacheFiles::list() {
    std::vector<Entry> entries;
    if (!root_.empty()) listFolder(root_, "", 0, entries);
    return entries;
}

void WinCacheFiles::listFolder(const std::u16string& folder, const std::string& prefix, int depth,
                               std::vector<Entry>& out) {
    WIN32_FIND_DATAW found{};
    UniqueSearch search(
        FindFirstFileExW(wide(folder + u"\\*"), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!search) return;
    const std::int64_t now = nowUnixSeconds();
    do {
        const std::u16string name(reinterpret_cast<const char16_t*>(found.cFileName));
        if (name == u"." || name == u"..") continue;
        const std::u16string path = folder + u"\\" + name;
        const std::string relative = prefix + toUtf8(name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Linked folders may lead outside the root or round in a circle.
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && depth + 1 < kDeepestFolder)
                listFolder(path, relative + "/", depth + 1, out);
            continue;
        }
        const std::int64_t modified = unixSeconds(found.ftLastWriteTime);
        if (name.ends_with(kTemporaryEnding)) {
            if (now - modified > kStaleTemporarySeconds) DeleteFileW(wide(path));
            continue;
        }
        const std::uint64_t bytes =
            (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        out.push_back({relative, bytes, modified});
    } while (FindNextFileW(search.get(), &found));
}

}  // namespace vamu::win
