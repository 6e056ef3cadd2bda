#pragma once
// Whole-file reads and writes by Windows path, with the VB file errors, and
// the pieces of a write that replaces a file whole.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
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

// A temporary file beside the one it will replace: removed with the holder
// unless the move over the old file has taken it over (keep()).
class TemporaryFile {
public:
    explicit TemporaryFile(std::u16string path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();
    const std::u16string& path() const noexcept { return path_; }
    void keep() noexcept { path_.clear(); }

private:
    std::u16string path_;
};

// Makes the folders on the way to path (not path itself); those that exist
// stay, and one that cannot be made shows in what comes after.
void makeFoldersTo(const std::u16string& path);

}  // namespace vamu::win
