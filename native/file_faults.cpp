#include "native/file_faults.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace vamu::native {
namespace {

// The result of a call made anyway: a success turned into a failure.
template <class T>
T failedAfter(T result, T failure) {
    if (result == failure) return result;
    errno = EIO;
    return failure;
}

}  // namespace

namespace file_calls {

int open(const char* path, int flags, mode_t mode) {
    const FileFault fault = fileFaultFor(FileCall::Open);
    if (fault == FileFault::Before) return errno = EIO, -1;
    const int fd = ::open(path, flags, mode);
    if (fault == FileFault::After && fd >= 0) ::close(fd);
    return fault == FileFault::After ? failedAfter(fd, -1) : fd;
}

ssize_t write(int fd, const void* bytes, std::size_t size) {
    const FileFault fault = fileFaultFor(FileCall::Write);
    if (fault == FileFault::Before) return errno = EIO, -1;
    const ssize_t written = ::write(fd, bytes, size);
    return fault == FileFault::After ? failedAfter(written, ssize_t{-1}) : written;
}

int close(int fd) {
    const FileFault fault = fileFaultFor(FileCall::Close);
    const int result = ::close(fd);
    return fault != FileFault::None ? failedAfter(result, -1) : result;
}

int rename(const char* from, const char* to) {
    const FileFault fault = fileFaultFor(FileCall::Rename);
    if (fault == FileFault::Before) return errno = EIO, -1;
    const int result = std::rename(from, to);
    return fault == FileFault::After ? failedAfter(result, -1) : result;
}

}  // namespace file_calls
}  // namespace vamu::native
