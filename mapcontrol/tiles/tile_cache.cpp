#include "mapcontrol/tiles/tile_cache.h"

#include <algorithm>
#include <atomic>
#include <unordered_set>
#include <utility>

#include "mapcontrol/tiles/tile_entry.h"

namespace vamu::tiles {
namespace {

constexpr char kMarkerFile[] = "cache.txt";
constexpr char kMarkerText[] =
    "vamuMapserver's tile cache: one folder per tile source (its source.txt names it), one file per tile.\n"
    "Everything here may be deleted at any time.\n";

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::string decodedKey(std::string_view sourceKey, TileId id) {
    return std::to_string(id.z) + "/" + std::to_string(id.x) + "/" + std::to_string(id.y) + " " +
           std::string(sourceKey);
}

std::uint64_t memoryBytesOf(const CachedTile& tile) {
    return tile.bytes.size() + tile.meta.etag.size() + tile.meta.lastModified.size() + 128;
}

}  // namespace

struct TileCache::State {
    CacheFiles* files;
    std::uint64_t limit;
    Log log;
    mutable std::mutex mutex;  // guards everything but the listing
    std::mutex listing;        // held while the index is made
    bool diskWritable;
    std::atomic<bool> indexed = false;
    LruBytes<bool> disk;  // the entries on disk by path, their file sizes
    LruBytes<CachedTile> memory;
    std::unordered_set<std::string> namedSources;

    State(CacheFiles* f, std::uint64_t l, Log lg)
        : files(f), limit(l), log(std::move(lg)), diskWritable(f != nullptr) {}

    // The disk index, made once from the listing before the cache is first
    // written to; reads do without it (their touch keeps the order on disk).
    // The oldest files go first; a limit lowered since takes effect at once.
    // Called without the lock: reads go on while a large cache is listed.
    void ensureIndexed() {
        if (files == nullptr || indexed) return;
        const std::lock_guard once(listing);
        if (indexed) return;
        writeMarker();
        std::vector<CacheFiles::Entry> entries = files->list();
        std::erase_if(entries, [](const auto& e) { return !endsWith(e.relative, ".tile"); });
        std::sort(entries.begin(), entries.end(),
                  [](const auto& a, const auto& b) { return a.modified > b.modified; });
        const std::lock_guard lock(mutex);
        for (const auto& e : entries) disk.putOldest(e.relative, true, e.bytes);
        indexed = true;
        evictDisk();
    }

    void fallBackToMemory() {
        if (!diskWritable) return;
        diskWritable = false;
        if (log) log(u"タイル: キャッシュのフォルダーに書き込めません。タイルはメモリーにだけ保持します");
    }

    // Before the first write, never sooner: a session that stores nothing
    // (the built-in map) makes no folder.
    void writeMarker() {
        if (files->replace(kMarkerFile, bytesOf(kMarkerText))) return;
        const std::lock_guard lock(mutex);
        fallBackToMemory();
    }

    // source.txt in the source's folder names its template, for a person
    // looking at the folder.
    void nameSource(std::string_view sourceKey) {
        const std::string folder = sourceFolder(sourceKey);
        if (namedSources.contains(folder)) return;
        const std::string path = folder + "/source.txt";
        const std::string text = std::string(sourceKey) + "\n";
        const auto kept = files->read(path, text.size() + 1);
        if (!kept || !std::equal(kept->begin(), kept->end(), text.begin(), text.end())) {
            if (!files->replace(path, bytesOf(text))) return;
        }
        namedSources.insert(folder);
    }

    void evictDisk() {
        while (disk.bytes() > limit) {
            const std::string victim = *disk.oldest();
            files->remove(victim);
            disk.erase(victim);
        }
    }

    void evictMemory() {
        const std::uint64_t bound = std::min(limit, kMemoryCacheLimit);
        while (memory.bytes() > bound) memory.erase(std::string(*memory.oldest()));
    }

    std::optional<CachedTile> readDisk(const std::string& path) {
        if (files == nullptr) return std::nullopt;
        const auto bytes = files->read(path, kMaxEntryBytes);
        std::optional<CachedTile> tile;
        if (bytes) tile = decodeEntry(*bytes);
        if (!tile) {
            // Missing, damaged or over-long: nothing to keep.
            if (bytes || disk.contains(path)) files->remove(path);
            disk.erase(path);
            return std::nullopt;
        }
        files->touch(path);
        if (indexed) disk.put(path, true, bytes->size());
        return tile;
    }

    void keep(const std::string& path, std::string_view sourceKey, const TileMeta& meta,
              std::span<const std::uint8_t> body) {
        if (diskWritable) {
            const auto entry = encodeEntry(meta, body);
            if (!entry) return;
            nameSource(sourceKey);
            if (files->replace(path, *entry)) {
                memory.erase(path);
                disk.put(path, true, entry->size());
                evictDisk();
                return;
            }
            fallBackToMemory();
        }
        CachedTile tile{meta, std::vector<std::uint8_t>(body.begin(), body.end())};
        const std::uint64_t bytes = memoryBytesOf(tile);
        memory.put(path, std::move(tile), bytes);
        evictMemory();
    }
};

TileCache::TileCache(CacheFiles* files, std::uint64_t limitBytes, Log log)
    : state_(std::make_unique<State>(files, limitBytes, std::move(log))) {}

TileCache::~TileCache() = default;

std::optional<CachedTile> TileCache::read(std::string_view sourceKey, TileId id) {
    if (!id.valid()) return std::nullopt;
    const std::string path = entryPath(sourceKey, id);
    const std::lock_guard lock(state_->mutex);
    if (const CachedTile* kept = state_->memory.use(path)) return *kept;
    return state_->readDisk(path);
}

void TileCache::store(std::string_view sourceKey, TileId id, const TileMeta& meta,
                      std::span<const std::uint8_t> bytes) {
    if (!id.valid() || bytes.size() > kMaxTileBytes) return;
    const std::string path = entryPath(sourceKey, id);
    state_->ensureIndexed();
    const std::lock_guard lock(state_->mutex);
    state_->keep(path, sourceKey, meta, bytes);
}

void TileCache::renew(std::string_view sourceKey, TileId id, const TileMeta& meta) {
    if (!id.valid()) return;
    const std::string path = entryPath(sourceKey, id);
    state_->ensureIndexed();
    const std::lock_guard lock(state_->mutex);
    std::optional<CachedTile> kept;
    if (const CachedTile* inMemory = state_->memory.use(path)) {
        kept = *inMemory;
    } else {
        kept = state_->readDisk(path);
    }
    if (kept) state_->keep(path, sourceKey, meta, kept->bytes);
}

void TileCache::forget(std::string_view sourceKey, TileId id) {
    if (!id.valid()) return;
    const std::string path = entryPath(sourceKey, id);
    state_->ensureIndexed();
    const std::lock_guard lock(state_->mutex);
    state_->memory.erase(path);
    if (state_->files == nullptr) return;
    state_->files->remove(path);
    state_->disk.erase(path);
}

bool TileCache::memoryOnly() const {
    const std::lock_guard lock(state_->mutex);
    return !state_->diskWritable;
}

std::uint64_t TileCache::bytesKept() const {
    const std::lock_guard lock(state_->mutex);
    return state_->disk.bytes() + state_->memory.bytes();
}

DecodedTiles::DecodedTiles(std::size_t limitBytes) : limit_(limitBytes) {}

std::shared_ptr<const Image> DecodedTiles::find(std::string_view sourceKey, TileId id,
                                                std::int64_t* expires) {
    const std::string key = decodedKey(sourceKey, id);
    const std::lock_guard lock(mutex_);
    const Kept* kept = images_.use(key);
    if (kept == nullptr) return nullptr;
    if (expires) *expires = kept->expires;
    return kept->image;
}

void DecodedTiles::renew(std::string_view sourceKey, TileId id, std::int64_t expires) {
    const std::string key = decodedKey(sourceKey, id);
    const std::lock_guard lock(mutex_);
    if (Kept* kept = images_.use(key)) kept->expires = expires;
}

void DecodedTiles::put(std::string_view sourceKey, TileId id, std::shared_ptr<const Image> image,
                       std::int64_t expires) {
    if (!image) return;
    const std::size_t bytes = image->pixels.size() * sizeof(std::uint32_t) + sizeof(Image) + 64;
    const std::string key = decodedKey(sourceKey, id);
    const std::lock_guard lock(mutex_);
    if (bytes > limit_) {
        images_.erase(key);
        return;
    }
    images_.put(key, Kept{std::move(image), expires}, bytes);
    while (images_.bytes() > limit_) images_.erase(std::string(*images_.oldest()));
}

std::size_t DecodedTiles::bytes() const {
    const std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(images_.bytes());
}

}  // namespace vamu::tiles
