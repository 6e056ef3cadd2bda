#pragma once
// The Win32 calls of the atomic file save, each through the place where a
// test can make it fail (contracts/file_faults.h): Open is CreateFileW,
// Rename is MoveFileExW; a call made and then failed reports
// ERROR_WRITE_FAULT.

#include <windows.h>

#include "contracts/file_faults.h"

namespace vamu::win {

namespace file_calls {
// CreateFileW for writing a new file (CREATE_ALWAYS, no sharing).
HANDLE createForWriting(const wchar_t* path);
BOOL write(HANDLE file, const void* bytes, DWORD size, DWORD* written);
BOOL close(HANDLE file);
// MoveFileExW with MOVEFILE_REPLACE_EXISTING.
BOOL moveOver(const wchar_t* from, const wchar_t* to);
}  // namespace file_calls

}  // namespace vamu::win
