#pragma once
// The POSIX calls of the atomic file save, each through the place where a
// test can make it fail (contracts/file_faults.h); a call made and then
// failed reports errno EIO.

#include <sys/types.h>

#include <cstddef>

#include "contracts/file_faults.h"

namespace vamu::native {

namespace file_calls {
int open(const char* path, int flags, mode_t mode);
ssize_t write(int fd, const void* bytes, std::size_t size);
int close(int fd);
int rename(const char* from, const char* to);
}  // namespace file_calls

}  // namespace vamu::native
