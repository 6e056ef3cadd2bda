#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "mapcontrol/tiles/tile_cache.h"
#include "mapcontrol/tiles/tile_entry.h"
#include "native/cache_files.h"
#include "native_test_support.h"

namespace vamu::tiles {
namespace {

namespace fs = std::filesystem;
using native::DiskCacheFiles;
using testing::TempFolder;

constexpr char kSource[] = "https://tiles.example/{z}/{x}/{y}.png";

std::vector<std::uint8_t> body(std::size_t size, std::uint8_t fill) {
    return std::vector<std::uint8_t>(size, fill);
}

TileMeta meta(std::int64_t expires, std::string etag = "\"e1\"") {
    return {200, 1000, expires, std::move(etag), "Sun, 06 Nov 1994 08:49:37 GMT"};
}

fs::path fileOf(const TempFolder& root, TileId id) { return root.path() / entryPath(kSource, id); }

void setModified(const fs::path& file, std::int64_t unixSeconds) {
    const struct timespec times[2] = {{unixSeconds, 0}, {unixSeconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

TEST(TileEntry, RoundTripsAndRefusesEveryDamagedForm) {
    const TileMeta m = meta(5000);
    const auto entry = encodeEntry(m, body(100, 0x5a));
    ASSERT_TRUE(entry);
    const auto back = decodeEntry(*entry);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->meta.status, 200);
    EXPECT_EQ(back->meta.fetched, 1000);
    EXPECT_EQ(back->meta.expires, 5000);
    EXPECT_EQ(back->meta.etag, m.etag);
    EXPECT_EQ(back->meta.lastModified, m.lastModified);
    EXPECT_EQ(back->bytes, body(100, 0x5a));

    for (std::size_t cut = 0; cut < entry->size(); ++cut) {
        EXPECT_FALSE(decodeEntry(std::span(*entry).first(cut))) << "cut at " << cut;
    }
    for (std::size_t i = 0; i < entry->size(); ++i) {
        auto damaged = *entry;
        damaged[i] ^= 0x10;
        EXPECT_FALSE(decodeEntry(damaged)) << "byte " << i;
    }
    auto longer = *entry;
    longer.push_back(0);
    EXPECT_FALSE(decodeEntry(longer));

    // A header claiming validators beyond their bound, checksum and length
    // made to agree with it.
    TileMeta big = m;
    big.etag.assign(kMaxValidatorLength + 1, 'x');
    EXPECT_FALSE(encodeEntry(big, {}));
    big.etag.assign(kMaxValidatorLength, 'x');
    auto overLong = *encodeEntry(big, {});
    overLong.push_back('x');
    overLong[28] = static_cast<std::uint8_t>((kMaxValidatorLength + 1) & 0xff);
    overLong[29] = static_cast<std::uint8_t>((kMaxValidatorLength + 1) >> 8);
    const std::uint64_t sum =
        fnv1a64(std::span(overLong).subspan(kEntryHeaderBytes), fnv1a64(std::span(overLong).first(36)));
    for (std::size_t i = 0; i < 8; ++i) overLong[36 + i] = static_cast<std::uint8_t>(sum >> (8 * i));
    EXPECT_FALSE(decodeEntry(overLong));
    EXPECT_FALSE(encodeEntry(m, body(kMaxTileBytes + 1, 0)));
    EXPECT_TRUE(decodeEntry(*encodeEntry({404, 1, 2, "", ""}, {})));
}

TEST(TileCache, KeepsTilesOnDiskAcrossInstancesAndDropsDamagedOnes) {
    TempFolder root;
    {
        DiskCacheFiles later(root / "later");
        EXPECT_FALSE(TileCache(&later, kDefaultCacheLimit, {}).read(kSource, {3, 1, 2}));
        EXPECT_FALSE(fs::exists(root / "later"));  // nothing made before the first tile
    }
    DiskCacheFiles files(root.path());
    std::vector<std::u16string> log;
    {
        TileCache cache(&files, kDefaultCacheLimit, [&](const std::u16string& l) { log.push_back(l); });
        cache.store(kSource, {3, 1, 2}, meta(5000), body(300, 7));
        cache.store(kSource, {3, 1, 3}, {404, 1000, 9000, "", ""}, {});
        cache.store(kSource, {30, 0, 0}, meta(5000), body(3, 1));  // not a tile: ignored
        EXPECT_FALSE(cache.memoryOnly());
    }
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(testing::readBytes(root.path() / sourceFolder(kSource) / "source.txt"),
              std::string(kSource) + "\n");

    TileCache cache(&files, kDefaultCacheLimit, {});
    const auto tile = cache.read(kSource, {3, 1, 2});
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->bytes, body(300, 7));
    EXPECT_TRUE(tile->fresh(4999));
    EXPECT_FALSE(tile->fresh(5000));
    const auto negative = cache.read(kSource, {3, 1, 3});
    ASSERT_TRUE(negative);
    EXPECT_EQ(negative->meta.status, 404);
    EXPECT_FALSE(cache.read("https://other.example/{z}/{x}/{y}.png", {3, 1, 2}));

    // After a 304 the bytes stay and the meta is the new one.
    cache.renew(kSource, {3, 1, 2}, meta(8000, "\"e2\""));
    EXPECT_EQ(TileCache(&files, kDefaultCacheLimit, {}).read(kSource, {3, 1, 2})->meta.etag, "\"e2\"");
    EXPECT_EQ(cache.read(kSource, {3, 1, 2})->bytes, body(300, 7));

    // A cut entry and an over-long file read as missing and are removed.
    const std::string whole = testing::readBytes(fileOf(root, {3, 1, 2}));
    testing::writeBytes(fileOf(root, {3, 1, 2}), whole.substr(0, whole.size() - 1));
    EXPECT_FALSE(cache.read(kSource, {3, 1, 2}));
    EXPECT_FALSE(fs::exists(fileOf(root, {3, 1, 2})));
    testing::writeBytes(fileOf(root, {3, 1, 3}), std::string(kMaxEntryBytes + 1, 'x'));
    EXPECT_FALSE(cache.read(kSource, {3, 1, 3}));
    EXPECT_FALSE(fs::exists(fileOf(root, {3, 1, 3})));

    cache.store(kSource, {4, 0, 0}, meta(5000), body(10, 1));
    cache.forget(kSource, {4, 0, 0});
    EXPECT_FALSE(cache.read(kSource, {4, 0, 0}));
    EXPECT_FALSE(fs::exists(fileOf(root, {4, 0, 0})));
}

TEST(TileCache, EvictsTheLeastRecentlyUsedBeyondItsLimit) {
    TempFolder root;
    DiskCacheFiles files(root.path());
    const std::size_t entryBytes = encodeEntry(meta(5000), body(1000, 0))->size();
    {
        TileCache cache(&files, 3 * entryBytes, {});
        for (std::int32_t x = 0; x < 3; ++x) cache.store(kSource, {5, x, 0}, meta(5000), body(1000, 0));
        ASSERT_TRUE(cache.read(kSource, {5, 0, 0}));  // now the most recently used
        cache.store(kSource, {5, 3, 0}, meta(5000), body(1000, 0));
        EXPECT_FALSE(fs::exists(fileOf(root, {5, 1, 0})));
        for (std::int32_t x : {0, 2, 3}) EXPECT_TRUE(fs::exists(fileOf(root, {5, x, 0}))) << x;
        EXPECT_EQ(cache.bytesKept(), 3 * entryBytes);
    }
    // A new instance orders what it finds by the files' times of last use.
    setModified(fileOf(root, {5, 0, 0}), 3000);
    setModified(fileOf(root, {5, 2, 0}), 1000);
    setModified(fileOf(root, {5, 3, 0}), 2000);
    TileCache cache(&files, 3 * entryBytes, {});
    cache.store(kSource, {6, 0, 0}, meta(5000), body(1000, 0));
    cache.store(kSource, {6, 1, 0}, meta(5000), body(1000, 0));
    EXPECT_FALSE(fs::exists(fileOf(root, {5, 2, 0})));
    EXPECT_FALSE(fs::exists(fileOf(root, {5, 3, 0})));
    EXPECT_TRUE(fs::exists(fileOf(root, {5, 0, 0})));

    // A limit lowered since applies on the next write.
    TileCache smaller(&files, entryBytes, {});
    smaller.store(kSource, {6, 2, 0}, meta(5000), body(1000, 0));
    std::vector<std::string> left;
    for (const auto& e : files.list()) {
        if (e.relative.ends_with(".tile")) left.push_back(e.relative);
    }
    EXPECT_EQ(left, std::vector<std::string>{entryPath(kSource, {6, 2, 0})});
}

TEST(TileCache, FallsBackToMemoryWithOneLogLineWhereTheFolderCannotBeWritten) {
    TempFolder scratch;
    testing::writeBytes(scratch / "a-file", "x");
    // A folder below a regular file cannot be made, whoever runs the test.
    DiskCacheFiles files(scratch / "a-file" / "cache");
    std::vector<std::u16string> log;
    TileCache cache(&files, kDefaultCacheLimit, [&](const std::u16string& l) { log.push_back(l); });
    EXPECT_FALSE(cache.read(kSource, {2, 0, 0}));
    EXPECT_TRUE(log.empty());  // found out on the first write
    for (std::int32_t x = 0; x < 4; ++x) cache.store(kSource, {2, x, 0}, meta(5000), body(50, 3));
    EXPECT_TRUE(cache.memoryOnly());
    cache.renew(kSource, {2, 1, 0}, meta(7000, "\"new\""));
    cache.forget(kSource, {2, 2, 0});
    EXPECT_EQ(log.size(), 1U);
    EXPECT_EQ(cache.read(kSource, {2, 1, 0})->meta.etag, "\"new\"");
    EXPECT_EQ(cache.read(kSource, {2, 3, 0})->bytes, body(50, 3));
    EXPECT_FALSE(cache.read(kSource, {2, 2, 0}));

    // Without files: memory only from the start, bounded, and nothing to log.
    TileCache memory(nullptr, 2000, [&](const std::u16string& l) { log.push_back(l); });
    EXPECT_TRUE(memory.memoryOnly());
    for (std::int32_t x = 0; x < 10; ++x) memory.store(kSource, {4, x, 0}, meta(5000), body(500, 1));
    EXPECT_LE(memory.bytesKept(), 2000U);
    EXPECT_TRUE(memory.read(kSource, {4, 9, 0}));
    EXPECT_FALSE(memory.read(kSource, {4, 0, 0}));
    EXPECT_EQ(log.size(), 1U);
}

// Generation n of a contended tile: its size and fill byte tell it, its
// expiry and ETag name it. Large ones take a while to write.
std::size_t sizeOf(std::uint8_t n, bool large) {
    return large ? kMaxTileBytes - n * 1000U : 500 + (n * 7919U) % 60000;
}

void expectWhole(const CachedTile& tile, bool large) {
    const auto n = static_cast<std::uint8_t>(tile.meta.expires);
    ASSERT_EQ(tile.meta.etag, std::to_string(n));
    ASSERT_EQ(tile.bytes, body(sizeOf(n, large), n));
}

void writeGenerations(const fs::path& root, TileId id, std::uint8_t first, bool large, int seconds) {
    DiskCacheFiles files(root);
    TileCache cache(&files, kDefaultCacheLimit, {});
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (std::uint8_t n = first; std::chrono::steady_clock::now() < end;
         n = static_cast<std::uint8_t>(n + 2)) {
        cache.store(kSource, id, meta(n, std::to_string(n)), body(sizeOf(n, large), n));
    }
}

TEST(TileCache, TwoProcessesReplacingOneTileNeverShowATornOne) {
    TempFolder root;
    std::vector<pid_t> writers;
    for (const int first : {0, 1}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            writeGenerations(root.path(), {9, 1, 1}, static_cast<std::uint8_t>(first), false, 2);
            ::_exit(0);
        }
        writers.push_back(pid);
    }
    DiskCacheFiles files(root.path());
    TileCache cache(&files, kDefaultCacheLimit, {});
    int whole = 0;
    bool seen = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end) {
        const auto tile = cache.read(kSource, {9, 1, 1});
        if (!tile) {
            EXPECT_FALSE(seen) << "an entry went missing after it was written";
            continue;
        }
        seen = true;
        expectWhole(*tile, false);
        ++whole;
    }
    for (const pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_GT(whole, 10);
}

std::vector<fs::path> leftovers(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().extension() == ".part") found.push_back(e.path());
    }
    return found;
}

TEST(TileCache, AWriterKilledMidWriteLeavesTheOldEntryAndNoVisibleLeftover) {
    TempFolder root;
    DiskCacheFiles files(root.path());
    TileCache(&files, kDefaultCacheLimit, {})
        .store(kSource, {9, 2, 2}, meta(1, "1"), body(sizeOf(1, true), 1));
    const fs::path folder = fileOf(root, {9, 2, 2}).parent_path();

    // Killed for certain half-way through the body: the file size limit ends
    // the writer with SIGXFSZ.
    const pid_t cut = ::fork();
    ASSERT_GE(cut, 0);
    if (cut == 0) {
        const struct rlimit noCore = {0, 0}, oneMegabyte = {1 << 20, 1 << 20};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::setrlimit(RLIMIT_FSIZE, &oneMegabyte);
        writeGenerations(root.path(), {9, 2, 2}, 0, true, 30);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(cut, &status, 0), cut);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
    ASSERT_EQ(leftovers(folder).size(), 1U);
    EXPECT_EQ(fs::file_size(leftovers(folder).front()), 1U << 20);

    // Killed at whatever point it has reached.
    for (int round = 0; round < 8; ++round) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            writeGenerations(root.path(), {9, 2, 2}, static_cast<std::uint8_t>(round), true, 30);
            ::_exit(0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + 13 * round));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    TileCache cache(&files, kDefaultCacheLimit, {});
    const auto tile = cache.read(kSource, {9, 2, 2});
    ASSERT_TRUE(tile);
    expectWhole(*tile, true);

    // Leftovers are never listed nor read, and go once they are old.
    const fs::path leftover = leftovers(folder).front();
    for (const auto& e : files.list()) EXPECT_FALSE(e.relative.ends_with(".part")) << e.relative;
    EXPECT_TRUE(fs::exists(leftover));
    const std::string relative = fs::relative(leftover, root.path()).generic_string();
    EXPECT_FALSE(files.read(relative, kMaxEntryBytes));
    setModified(leftover, 1000);
    files.list();
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_FALSE(files.read("../escape", 100));
    EXPECT_FALSE(files.replace("a/../../escape", std::vector<std::uint8_t>(1)));
}

TEST(TileCache, ThreadsShareOneCacheWithinItsLimit) {
    TempFolder root;
    DiskCacheFiles files(root.path());
    const std::size_t entryBytes = encodeEntry(meta(5000, "0"), body(2000, 0))->size();
    TileCache cache(&files, 10 * entryBytes, {});
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&cache, t] {
            for (int i = 0; i < 300; ++i) {
                const TileId id{7, (i * 7 + t) % 20, 0};
                const auto n = static_cast<std::uint8_t>(i);
                if (i % 3 == 0) cache.store(kSource, id, meta(n, std::to_string(n)), body(2000, n));
                if (i % 3 == 1) {
                    // Renewed meta names no generation: the body alone must be whole.
                    const auto tile = cache.read(kSource, id);
                    if (tile) {
                        ASSERT_EQ(tile->bytes, body(2000, tile->bytes[0]));
                    }
                }
                if (i % 17 == 0) cache.renew(kSource, id, meta(n, std::to_string(n)));
                if (i % 29 == 0) cache.forget(kSource, id);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_LE(cache.bytesKept(), 10 * entryBytes);
    std::uint64_t onDisk = 0;
    for (const auto& e : files.list()) onDisk += e.relative.ends_with(".tile") ? e.bytes : 0;
    EXPECT_EQ(onDisk, cache.bytesKept());
}

TEST(DecodedTiles, KeepsTheRecentlyUsedWithinItsBound) {
    const auto image = [] { return std::make_shared<const Image>(64, 64, 0xffffff); };
    const std::size_t one = [&] {
        DecodedTiles probe;
        probe.put(kSource, {1, 0, 0}, image());
        return probe.bytes();
    }();
    DecodedTiles tiles(3 * one);
    for (std::int32_t x = 0; x < 3; ++x) tiles.put(kSource, {8, x, 0}, image());
    ASSERT_TRUE(tiles.find(kSource, {8, 0, 0}));
    tiles.put(kSource, {8, 3, 0}, image());
    EXPECT_FALSE(tiles.find(kSource, {8, 1, 0}));
    EXPECT_TRUE(tiles.find(kSource, {8, 0, 0}));
    EXPECT_FALSE(tiles.find("another", {8, 0, 0}));
    EXPECT_EQ(tiles.bytes(), 3 * one);
    tiles.put(kSource, {8, 9, 0}, std::make_shared<const Image>(128, 128, 0));  // larger than the bound
    EXPECT_FALSE(tiles.find(kSource, {8, 9, 0}));
    EXPECT_EQ(tiles.bytes(), 3 * one);
}

}  // namespace
}  // namespace vamu::tiles
