#pragma once
// The tile cache's files below a root folder, over Win32 file calls.

#include <string>

#include "contracts/tile_platform.h"

namespace vamu::win {

class WinCacheFiles : public CacheFiles {
public:
    // root: a folder whose parent exists; it is made on the first write.
    explicit WinCacheFiles(std::u16string root);

    std::optional<std::vector<std::uint8_t>> read(const std::string& relative, std::size_t maxBytes) override;
    bool replace(const std::string& relative, std::span<const std::uint8_t> bytes) override;
    // True when the file is gone afterwards (also where it was missing).
    bool remove(const std::string& relative) override;
    void touch(const std::string& relative) override;
    // Every file below the root except the temporaries of writes in progress;
    // those left by a write that never finished (an hour old) are removed.
    std::vector<Entry> list() override;

    // The ending of a temporary file while it is written.
    static constexpr std::u16string_view kTemporaryEnding = u".part~";

private:
    // The Windows path of a relative path: nothing for an empty one, or one
    // with an empty, "." or ".." part, a backslash, a colon or a control
    // character.
    std::optional<std::u16string> pathOf(const std::string& relative) const;
    void listFolder(const std::u16string& folder, const std::string& prefix, int depth,
                    std::vector<Entry>& out);

    std::u16string root_;
};

}  // namespace vamu::win
