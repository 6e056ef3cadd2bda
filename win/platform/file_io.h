#pragma once
// Whole-file reads and writes by Windows path, with the VB file errors.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace vamu::win {

// Error 53 for a missing file, 76 for a missing folder.
std::vector<std::uint8_t> readWholeFile(const std::u16string& path);

// Writes the bytes to a temporary file beside path and moves it over path,
// so that a failure at any point leaves the old file as it was (and no
// temporary file behind). Error 76 when the folder does not exist, 75 when
// path is a read-only file or a folder.
void replaceFile(const std::u16string& path, std::span<const std::uint8_t> bytes);

// The same for bytes that a producer hands over piece by piece, in order.
using ByteSink = std::function<void(std::span<const std::uint8_t>)>;
void replaceFile(const std::u16string& path, const std::function<void(const ByteSink& write)>& produce);

}  // namespace vamu::win
