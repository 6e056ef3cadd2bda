#include <utility>

#include "mapcontrol/tiles/tile_fetcher_core.h"

namespace vamu::tiles {

using fetching::Answer;
using fetching::Needed;
using fetching::Next;

bool TileFetcher::Core::prefetchStep(std::unique_lock<std::mutex>& lock, std::int64_t nowMs) {
    // The picture's tiles had their turn before: this runs only where
    // none of them could go.
    if (!prefetch || !hostOpen(prefetch->host, nowMs)) return false;
    if (hosts[prefetch->host].inFlight >= kRequestsPerHost) return false;
    std::optional<Needed> tile;
    if (!prefetch->retry.empty()) {
        tile = std::move(prefetch->retry.front());
        prefetch->retry.pop_front();
    } else if (const auto id = prefetch->tiles.next()) {
        const std::string src = prefetch->source;
        const std::uint64_t run = prefetch->run;
        lock.unlock();
        tile = prefetchExamine(src, *id);
        lock.lock();
        if (!prefetch || prefetch->run != run) return true;
        if (!tile) {
            prefetchProgress(lock, 1);
            return true;
        }
    } else {
        finishPrefetchIfDone(lock);
        return false;
    }
    ++prefetch->inFlight;
    send(lock, prefetch->source, prefetch->host, std::move(*tile), prefetch->run);
    return true;
}

std::optional<Needed> TileFetcher::Core::prefetchExamine(const std::string& src, TileId id) {
    std::optional<CachedTile> cached = cache.read(src, id);
    if (!cached) return Needed{id, std::nullopt};
    if (cached->fresh(clock.unixSeconds())) return std::nullopt;
    if (cached->meta.status != 200) return Needed{id, std::nullopt};
    return Needed{id, std::move(cached->meta)};
}

void TileFetcher::Core::settlePrefetch(std::unique_lock<std::mutex>& lock, Answer a, Next next) {
    if (!prefetch || prefetch->run != a.prefetchRun) return;
    --prefetch->inFlight;
    if (next == Next::Retry) {
        prefetch->retry.push_front(std::move(a.tile));
        return;
    }
    prefetchProgress(lock, 1);
}

void TileFetcher::Core::prefetchProgress(std::unique_lock<std::mutex>& lock, std::uint64_t more) {
    prefetch->done = std::min(prefetch->total, prefetch->done + more);
    const auto progress = prefetch->progress;
    const std::uint64_t done = prefetch->done, total = prefetch->total;
    lock.unlock();
    if (progress) progress(done, total);
    lock.lock();
}

void TileFetcher::Core::finishPrefetchIfDone(std::unique_lock<std::mutex>& lock) {
    if (prefetch->inFlight > 0 || !prefetch->retry.empty()) return;
    const auto progress = std::move(prefetch->progress);
    const std::uint64_t total = prefetch->total;
    prefetch.reset();
    lock.unlock();
    if (progress) progress(total, total);
    lock.lock();
}

}  // namespace vamu::tiles
