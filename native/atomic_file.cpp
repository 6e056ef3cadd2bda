#include "native/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>
#include <utility>

#include "contracts/runtime_error.h"
#include "native/file_faults.h"
#include "native/unique_fd.h"

namespace vamu::native {
namespace fs = std::filesystem;
namespace {

[[noreturn]] void raiseForOpen(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            raise(ErrorNumber::PathNotFound);
        case EACCES:
        case EPERM:
        case EROFS:
            raise(ErrorNumber::PermissionDenied);
        default:
            raise(ErrorNumber::PathFileAccessError);
    }
}

bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

fs::path folderOf(const fs::path& file) {
    const fs::path parent = file.parent_path();
    return parent.empty() ? fs::path(".") : parent;
}

fs::path temporaryName(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    const std::string name = "." + target.filename().string() + ".~" + std::to_string(::getpid()) + "-" +
                             std::to_string(counter++) + ".tmp";
    return target.parent_path() / name;
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = file_calls::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// A fresh file beside the target; removed again unless it has replaced it.
class TemporaryFile {
public:
    explicit TemporaryFile(const fs::path& target) {
        for (int attempt = 0; !fd_.valid(); ++attempt) {
            path_ = temporaryName(target);
            const int fd = file_calls::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            const int error = errno;
            fd_ = UniqueFd(fd, file_calls::close);
            if (fd >= 0 || (error == EEXIST && attempt < 100)) continue;
            // An open that failed after it made the file: the name is this
            // save's own, unless another file had it already.
            if (error != EEXIST) ::unlink(path_.c_str());
            raiseForOpen(error);
        }
    }
    ~TemporaryFile() {
        fd_.close();
        if (!renamed_) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Writes and closes the file, then renames it over the target.
    void replace(const fs::path& target, const ByteProducer& produce) {
        produce([&](std::span<const std::uint8_t> piece) {
            if (!writeAll(fd_.get(), piece)) raise(ErrorNumber::PathFileAccessError);
        });
        if (!fd_.close()) raise(ErrorNumber::PathFileAccessError);
        if (file_calls::rename(path_.c_str(), target.c_str()) != 0) raise(ErrorNumber::PathFileAccessError);
        renamed_ = true;
    }

private:
    fs::path path_;
    UniqueFd fd_{-1};
    bool renamed_ = false;
};

}  // namespace

bool isReadOnlyFile(const fs::path& file) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (ec || !fs::is_regular_file(status)) return false;
    const auto writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (status.permissions() & writable) == fs::perms::none;
}

void replaceFileAtomically(const fs::path& target, const ByteProducer& produce) {
    if (target.filename().empty() || !isFolder(folderOf(target))) raise(ErrorNumber::PathNotFound);
    if (isFolder(target) || isReadOnlyFile(target)) raise(ErrorNumber::PathFileAccessError);

    TemporaryFile(target).replace(target, produce);
}

void replaceFileAtomically(const fs::path& target, std::span<const std::uint8_t> bytes) {
    replaceFileAtomically(target, [&](const auto& write) { write(bytes); });
}

std::vector<std::uint8_t> readWholeFile(const fs::path& file) {
    if (!isFolder(folderOf(file))) raise(ErrorNumber::PathNotFound);
    if (isFolder(file)) raise(ErrorNumber::PathFileAccessError);
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        if (errno == ENOENT) raise(ErrorNumber::FileNotFound);
        raiseForOpen(errno);
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) raise(ErrorNumber::PathFileAccessError);
        if (got == 0) return bytes;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
}

}  // namespace vamu::native
