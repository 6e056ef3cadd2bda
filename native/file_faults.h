#pragma once
// The system calls of the atomic file save, each made through one place
// where a test can make it fail: before it takes effect (the call is not
// made) or after (the call is made and its success reported as a failure,
// with errno EIO). A close always lets its descriptor go, as Linux's does
// whatever it reports, so a fault of a close is one after it. Without a
// hook every call goes straight to the system.

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <utility>

namespace vamu::native {

enum class FileCall { Open, Write, Close, Rename };
enum class FileFault { None, Before, After };
using FileFaultHook = std::function<FileFault(FileCall)>;

// The hook for the lifetime of the holder; the one before comes back after.
class FileFaultScope {
public:
    explicit FileFaultScope(FileFaultHook hook);
    FileFaultScope(const FileFaultScope&) = delete;
    FileFaultScope& operator=(const FileFaultScope&) = delete;
    ~FileFaultScope();

private:
    FileFaultHook previous_;
};

namespace file_calls {
int open(const char* path, int flags, mode_t mode);
ssize_t write(int fd, const void* bytes, std::size_t size);
int close(int fd);
int rename(const char* from, const char* to);
}  // namespace file_calls

}  // namespace vamu::native
