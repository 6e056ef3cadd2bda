#pragma once
// The tile cache's files on a POSIX file system. Every replacement goes
// through a temporary file beside its target, unique per process and write,
// renamed over the target; a writer killed half-way leaves only such a
// temporary file, which list() and read() never show and list() removes once
// it is an hour old.

#include <filesystem>

#include "contracts/tile_platform.h"

namespace vamu::native {

class DiskCacheFiles : public CacheFiles {
public:
    explicit DiskCacheFiles(std::filesystem::path root);

    std::optional<std::vector<std::uint8_t>> read(const std::string& relative, std::size_t maxBytes) override;
    bool replace(const std::string& relative, std::span<const std::uint8_t> bytes) override;
    bool remove(const std::string& relative) override;
    void touch(const std::string& relative) override;
    std::vector<Entry> list() override;

    // Whether the name is one of the temporary files of a replacement.
    static bool isTemporaryName(std::string_view fileName);

private:
    // Nothing for a path that leaves the root or names a temporary file.
    std::optional<std::filesystem::path> pathOf(const std::string& relative) const;

    std::filesystem::path root_;
};

}  // namespace vamu::native
