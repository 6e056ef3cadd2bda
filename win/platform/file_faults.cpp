#include "win/platform/file_faults.h"

namespace vamu::win {
namespace {

BOOL failed() {
    SetLastError(ERROR_WRITE_FAULT);
    return FALSE;
}

// A call made, its success then reported as a failure.
BOOL after(FileFault fault, BOOL result) { return fault == FileFault::After && result ? failed() : result; }

}  // namespace

namespace file_calls {

HANDLE createForWriting(const wchar_t* path) {
    const FileFault fault = fileFaultFor(FileCall::Open);
    if (fault == FileFault::Before) return failed(), INVALID_HANDLE_VALUE;
    const HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (fault != FileFault::After || file == INVALID_HANDLE_VALUE) return file;
    CloseHandle(file);
    return failed(), INVALID_HANDLE_VALUE;
}

BOOL write(HANDLE file, const void* bytes, DWORD size, DWORD* written) {
    const FileFault fault = fileFaultFor(FileCall::Write);
    if (fault == FileFault::Before) return failed();
    return after(fault, WriteFile(file, bytes, size, written, nullptr));
}

BOOL close(HANDLE file) {
    const FileFault fault = fileFaultFor(FileCall::Close);
    return after(fault == FileFault::None ? fault : FileFault::After, CloseHandle(file));
}

BOOL moveOver(const wchar_t* from, const wchar_t* to) {
    const FileFault fault = fileFaultFor(FileCall::Rename);
    if (fault == FileFault::Before) return failed();
    return after(fault, MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING));
}

}  // namespace file_calls
}  // namespace vamu::win
