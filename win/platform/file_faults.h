#pragma once
// The Win32 calls of the atomic file save, each made through one place
// where a test can make it fail: before it takes effect (the call is not
// made) or after (the call is made and its success reported as a failure,
// with ERROR_WRITE_FAULT). A close always lets its handle go, so a fault of
// a close is one after it. Without a hook every call goes straight to the
// system.

#include <windows.h>

#include <functional>

namespace vamu::win {

enum class FileCall { Create, Write, Close, Move };
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
// CreateFileW for writing a new file (CREATE_ALWAYS, no sharing).
HANDLE createForWriting(const wchar_t* path);
BOOL write(HANDLE file, const void* bytes, DWORD size, DWORD* written);
BOOL close(HANDLE file);
// MoveFileExW with MOVEFILE_REPLACE_EXISTING.
BOOL moveOver(const wchar_t* from, const wchar_t* to);
}  // namespace file_calls

}  // namespace vamu::win
