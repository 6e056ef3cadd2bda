#include "native/cache_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <system_error>
#include <utility>

#include "native/unique_fd.h"

namespace vamu::native {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kTemporarySuffix = ".part";
constexpr std::int64_t kStaleTemporarySeconds = 3600;

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// ".<name>.<pid>-<counter>.part" beside the target.
fs::path temporaryFor(const fs::path& target) {
    static std::atomic<std::uint64_t> counter{0};
    return target.parent_path() / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "-" +
                                   std::to_string(counter.fetch_add(1)) + std::string(kTemporarySuffix));
}

bool safeComponent(std::string_view part) {
    if (part.empty() || part == "." || part == "..") return false;
    for (const char c : part) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        c == '.' || c == '_' || c == '-';
        if (!ok) return false;
    }
    return true;
}

std::int64_t modifiedSeconds(const struct stat& st) { return static_cast<std::int64_t>(st.st_mtim.tv_sec); }

}  // namespace

DiskCacheFiles::DiskCacheFiles(fs::path root) : root_(std::move(root)) {}

bool DiskCacheFiles::isTemporaryName(std::string_view fileName) {
    return fileName.size() > kTemporarySuffix.size() && fileName.front() == '.' &&
           fileName.substr(fileName.size() - kTemporarySuffix.size()) == kTemporarySuffix;
}

std::optional<fs::path> DiskCacheFiles::pathOf(const std::string& relative) const {
    fs::path path = root_;
    std::string_view rest = relative;
    std::string_view last;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        last = rest.substr(0, slash);
        if (!safeComponent(last)) return std::nullopt;
        path /= std::string(last);
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
        if (slash != std::string_view::npos && rest.empty()) return std::nullopt;
    }
    if (last.empty() || isTemporaryName(last)) return std::nullopt;
    return path;
}

std::optional<std::vector<std::uint8_t>> DiskCacheFiles::read(const std::string& relative,
                                                              std::size_t maxBytes) {
    const auto path = pathOf(relative);
    if (!path) return std::nullopt;
    UniqueFd fd(::open(path->c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) return std::nullopt;
    // Read one byte past the bound, so that a file grown since fstat is noticed.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size()) {
            if (bytes.size() > maxBytes) return std::nullopt;
            bytes.resize(std::min(bytes.size() * 2, std::max(maxBytes, maxBytes + 1)));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + have, bytes.size() - have);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        have += static_cast<std::size_t>(got);
    }
    if (have > maxBytes) return std::nullopt;
    bytes.resize(have);
    return bytes;
}

bool DiskCacheFiles::replace(const std::string& relative, std::span<const std::uint8_t> bytes) {
    const auto path = pathOf(relative);
    if (!path) return false;
    const fs::path temporary = temporaryFor(*path);
    const auto create = [&] {
        return ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    };
    UniqueFd fd(create());
    if (!fd.valid() && errno == ENOENT) {
        // The first file of its folder: the folders on the way are made.
        std::error_code ec;
        fs::create_directories(path->parent_path(), ec);
        if (ec) return false;
        fd = UniqueFd(create());
    }
    if (!fd.valid()) return false;
    const bool written = writeAll(fd.get(), bytes);
    if (fd.close() && written && ::rename(temporary.c_str(), path->c_str()) == 0) return true;
    ::unlink(temporary.c_str());
    return false;
}

bool DiskCacheFiles::remove(const std::string& relative) {
    const auto path = pathOf(relative);
    return path && ::unlink(path->c_str()) == 0;
}

void DiskCacheFiles::touch(const std::string& relative) {
    if (const auto path = pathOf(relative)) ::utimensat(AT_FDCWD, path->c_str(), nullptr, 0);
}

std::vector<CacheFiles::Entry> DiskCacheFiles::list() {
    std::vector<Entry> entries;
    std::error_code ec;
    fs::recursive_directory_iterator it(root_, fs::directory_options::skip_permission_denied, ec);
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        struct stat st {};
        if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        const std::string name = it->path().filename().string();
        if (isTemporaryName(name)) {
            // A writer killed half-way; a live one renames its file within moments.
            if (now - modifiedSeconds(st) > kStaleTemporarySeconds) ::unlink(it->path().c_str());
            continue;
        }
        entries.push_back({it->path().lexically_relative(root_).generic_string(),
                           static_cast<std::uint64_t>(st.st_size), modifiedSeconds(st)});
    }
    return entries;
}

}  // namespace vamu::native
