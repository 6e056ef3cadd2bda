#pragma once
// Whole-file reads and writes with the run-time errors a Windows program
// sees. A write never tears the file it replaces: the bytes go to a
// temporary file in the same folder, which is then renamed over the target
// in one step. There is no flush to disk: the files are rewritten often and
// only have to be whole, never durable at once.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

namespace vamu::native {

// Errors: the folder missing (or not a folder) 76; the target a folder or
// read-only 75; no right to create a file in the folder 70; any failure to
// write or rename 75. On every failure the old file is as it was and
// no temporary file is left behind.
void replaceFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

// The same for bytes that a producer hands over piece by piece: it calls
// write for each piece in order. A failure to write is raised from write.
using ByteProducer = std::function<void(const std::function<void(std::span<const std::uint8_t>)>& write)>;
void replaceFileAtomically(const std::filesystem::path& target, const ByteProducer& produce);

// Errors: the folder missing 76; the file missing 53; a folder or an
// unreadable file 75 (70 when access is refused).
std::vector<std::uint8_t> readWholeFile(const std::filesystem::path& file);

// True when the file exists and carries no write permission at all, the
// counterpart of the read-only attribute.
bool isReadOnlyFile(const std::filesystem::path& file);

}  // namespace vamu::native
