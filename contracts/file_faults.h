#pragma once
// The system calls of the atomic file save, as both platforms make them
// (open or create the temporary file, write it, close it, rename it over the
// old one), each through one place where a test can make it fail: before it
// takes effect (the call is not made) or after (the call is made and its
// success reported as a failure). A close always lets its descriptor or
// handle go, so a fault of a close is one after it. Without a hook every
// call goes straight to the system.

#include <functional>

namespace vamu {

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

// What the hook says of a call about to be made (None without a hook).
FileFault fileFaultFor(FileCall call);

}  // namespace vamu
