// The atomic save with each of its system calls failing in turn, before or
// after the call took effect: the save reports the failure, the old file is
// as it was or the new one is whole, and no temporary file is left.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/atomic_file.h"
#include "native/file_faults.h"
#include "native_test_support.h"

namespace vamu::testing {
namespace {

const char* nameOf(FileCall call) {
    switch (call) {
        case FileCall::Open:
            return "open";
        case FileCall::Write:
            return "write";
        case FileCall::Close:
            return "close";
        case FileCall::Rename:
            return "rename";
    }
    return "?";
}

// The new file in three pieces, so that a write fails between two others.
std::int32_t saveInPieces(const std::filesystem::path& target, const std::string& bytes) {
    return errorOf([&] {
        native::replaceFileAtomically(target, [&](const auto& write) {
            for (std::size_t at = 0; at < bytes.size(); at += bytes.size() / 3 + 1) {
                const std::string piece = bytes.substr(at, bytes.size() / 3 + 1);
                write({reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size()});
            }
        });
    });
}

TEST(AtomicFileFaults, EveryCallFailingLeavesTheOldFileOrTheWholeNewOne) {
    const std::string oldBytes(1000, 'o'), newBytes(3000, 'n');
    for (const FileCall failing : {FileCall::Open, FileCall::Write, FileCall::Close, FileCall::Rename}) {
        for (const FileFault fault : {FileFault::Before, FileFault::After}) {
            for (const bool existed : {true, false}) {
                SCOPED_TRACE(std::string(nameOf(failing)) +
                             (fault == FileFault::Before ? " before" : " after") +
                             (existed ? ", replacing" : ", new"));
                TempFolder folder;
                const auto target = folder / "!!vamuMapserver.bmp";
                if (existed) writeBytes(target, oldBytes);
                int seen = 0;
                // The second write fails, the one call of any other kind.
                const int wanted = failing == FileCall::Write ? 2 : 1;
                FileFaultScope faults([&](FileCall call) {
                    return call == failing && ++seen == wanted ? fault : FileFault::None;
                });
                EXPECT_EQ(saveInPieces(target, newBytes), 75);
                EXPECT_EQ(seen, wanted);
                const bool renamed = failing == FileCall::Rename && fault == FileFault::After;
                const std::vector<std::string> expected =
                    existed || renamed ? std::vector<std::string>{"!!vamuMapserver.bmp"}
                                       : std::vector<std::string>{};
                EXPECT_EQ(folder.names(), expected);
                if (!expected.empty()) {
                    EXPECT_EQ(readBytes(target), renamed ? newBytes : oldBytes);
                }
            }
        }
    }
}

}  // namespace
}  // namespace vamu::testing
