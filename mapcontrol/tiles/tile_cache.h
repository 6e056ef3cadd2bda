#pragma once
// The tile caches: TileCache keeps the tiles' bytes as fetched (on disk below
// a CacheFiles root, or in memory when the disk cannot be written), and
// DecodedTiles keeps the pixels of the tiles drawn lately. Both are safe to
// use from any thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "contracts/picture.h"
#include "contracts/tile_platform.h"
#include "mapcontrol/tiles/lru_bytes.h"
#include "mapcontrol/tiles/tile_freshness.h"
#include "mapcontrol/tiles/tile_id.h"
#include "mapcontrol/tiles/tile_meta.h"

namespace vamu::tiles {

inline constexpr std::uint64_t kDefaultCacheLimit = std::uint64_t{1} << 30;
// Where the disk cannot be written, no more than this is kept in memory.
inline constexpr std::uint64_t kMemoryCacheLimit = std::uint64_t{64} << 20;

class TileCache {
public:
    using Log = std::function<void(const std::u16string&)>;

    // files null: memory only. limitBytes bounds the tiles kept on disk; the
    // least recently used go first.
    TileCache(CacheFiles* files, std::uint64_t limitBytes, Log log);
    ~TileCache();
    TileCache(const TileCache&) = delete;
    TileCache& operator=(const TileCache&) = delete;

    // The tile as kept, fresh or stale; nothing where none is kept or its
    // entry is damaged (a damaged entry is removed).
    std::optional<CachedTile> read(std::string_view sourceKey, TileId id);
    void store(std::string_view sourceKey, TileId id, const TileMeta& meta,
               std::span<const std::uint8_t> bytes);
    // New meta for the bytes kept (after a 304).
    void renew(std::string_view sourceKey, TileId id, const TileMeta& meta);
    // Drops the tile (a body that failed to decode).
    void forget(std::string_view sourceKey, TileId id);
    bool memoryOnly() const;

    // The bytes of the tiles kept (entries on disk, or in memory).
    std::uint64_t bytesKept() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

class DecodedTiles {
public:
    explicit DecodedTiles(std::size_t limitBytes = std::size_t{64} << 20);
    // The pixels kept, and where asked, until when (unix seconds) they are
    // fresh: a copy in memory goes stale with the tile it was decoded from.
    std::shared_ptr<const Image> find(std::string_view sourceKey, TileId id, std::int64_t* expires = nullptr);
    void put(std::string_view sourceKey, TileId id, std::shared_ptr<const Image> image,
             std::int64_t expires = std::numeric_limits<std::int64_t>::max());
    // A revalidated tile: its pixels stay, fresh until the new time.
    void renew(std::string_view sourceKey, TileId id, std::int64_t expires);
    std::size_t bytes() const;

private:
    struct Kept {
        std::shared_ptr<const Image> image;
        std::int64_t expires;
    };
    const std::size_t limit_;
    mutable std::mutex mutex_;
    LruBytes<Kept> images_;
};

}  // namespace vamu::tiles
