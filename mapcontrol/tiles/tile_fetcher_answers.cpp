#include <utility>

#include "contracts/text.h"
#include "mapcontrol/tiles/tile_fetcher_core.h"
#include "mapcontrol/tiles/tile_freshness.h"

namespace vamu::tiles {

using fetching::Answer;
using fetching::Needed;
using fetching::Next;

namespace {

std::u16string text(std::string_view utf8) { return fromUtf8(utf8); }
std::u16string tileName(TileId id) {
    return decimalText(id.z) + u"/" + decimalText(id.x) + u"/" + decimalText(id.y);
}

}  // namespace

bool TileFetcher::Core::ensureDecoded(const std::string& src, TileId id, const CachedTile& cached) {
    if (decoded.find(src, id)) return true;
    std::optional<Image> image = decoder.decode(cached.bytes, kMaxTileSide);
    if (!image) return false;
    decoded.put(src, id, std::make_shared<const Image>(std::move(*image)), cached.meta.expires);
    arrived(src, id);
    return true;
}

std::optional<Needed> TileFetcher::Core::examine(const std::string& src, TileId id) {
    std::optional<CachedTile> cached = cache.read(src, id);
    if (!cached) return Needed{id, std::nullopt};
    const bool fresh = cached->fresh(clock.unixSeconds());
    if (cached->meta.status != 200) {
        if (fresh) return std::nullopt;
        return Needed{id, std::nullopt};
    }
    if (!ensureDecoded(src, id, *cached)) {
        cache.forget(src, id);
        return Needed{id, std::nullopt};
    }
    if (fresh) return std::nullopt;
    return Needed{id, std::move(cached->meta)};
}

void TileFetcher::Core::arrived(const std::string& src, TileId id) {
    bool wake = false;
    {
        std::lock_guard lock(mutex);
        if (!isWanted(src, id)) return;
        wake = arrivals++ == 0;
    }
    if (wake) waker.wake();
}

Next TileFetcher::Core::handle(const Answer& a) {
    using O = HttpResponse::Outcome;
    const HttpResponse& r = a.response;
    switch (r.outcome) {
        case O::Answered:
            networkBack();
            return handleStatus(a);
        case O::Unreachable:
        case O::TimedOut:
            networkGone(r);
            return Next::Retry;
        case O::TooLarge:
            logBroken(a, u"大きすぎます");
            return Next::Broken;
        case O::Failed:
            break;
    }
    return Next::Retry;
}

Next TileFetcher::Core::handleStatus(const Answer& a) {
    const HttpResponse& r = a.response;
    const std::int64_t now = clock.unixSeconds();
    switch (r.status) {
        case 200:
            return keep(a, now);
        case 304:
            return renew(a, now);
        case 404:
        case 410: {
            TileMeta meta = metaFromResponse(r, now);
            meta.status = 404;
            cache.store(a.source, a.tile.id, meta, {});
            return Next::Done;
        }
        default:
            return Next::Retry;
    }
}

Next TileFetcher::Core::keep(const Answer& a, std::int64_t now) {
    const HttpResponse& r = a.response;
    std::optional<Image> image = decoder.decode(r.body, kMaxTileSide);
    if (!image) {
        cache.forget(a.source, a.tile.id);
        logBroken(a, u"画像として読めません");
        return Next::Broken;
    }
    const TileMeta meta = metaFromResponse(r, now);
    if (mayStore(r)) cache.store(a.source, a.tile.id, meta, r.body);
    if (a.prefetchRun != 0) return Next::Done;
    decoded.put(a.source, a.tile.id, std::make_shared<const Image>(std::move(*image)), meta.expires);
    return Next::Arrived;
}

Next TileFetcher::Core::renew(const Answer& a, std::int64_t now) {
    if (!a.tile.previous) {
        logBroken(a, u"条件なしの要求に 304 が返りました");
        return Next::Broken;
    }
    TileMeta meta = metaFromResponse(a.response, now);
    meta.status = 200;
    if (meta.etag.empty()) meta.etag = a.tile.previous->etag;
    if (meta.lastModified.empty()) meta.lastModified = a.tile.previous->lastModified;
    cache.renew(a.source, a.tile.id, meta);
    decoded.renew(a.source, a.tile.id, meta.expires);
    return Next::Done;
}

void TileFetcher::Core::networkGone(const HttpResponse& r) {
    {
        std::lock_guard lock(mutex);
        if (networkDown) return;
        networkDown = true;
    }
    if (log)
        log(u"タイル: サーバーに接続できません (" + text(r.error) +
            u")。オフラインの間は保存済みのタイルを使います");
}

void TileFetcher::Core::networkBack() {
    {
        std::lock_guard lock(mutex);
        if (!networkDown) return;
        networkDown = false;
    }
    if (log) log(u"タイル: サーバーに再び接続できました");
}

void TileFetcher::Core::logBroken(const Answer& a, const std::u16string& why) {
    if (log)
        log(u"タイル: " + tileName(a.tile.id) + u" (" + text(a.host) + u") は" + why + u"。破棄しました");
}

void TileFetcher::Core::settle(std::unique_lock<std::mutex>& lock, Answer a, Next next) {
    --hosts[a.host].inFlight;
    if (a.prefetchRun == 0 && a.source == source) wantedInFlight.erase(a.tile.id);
    const std::int64_t nowMs = clock.monotonicMillis();
    const HttpResponse& r = a.response;
    if (next == Next::Retry) {
        backOff(a, nowMs);
    } else if (r.outcome == HttpResponse::Outcome::Answered) {
        hosts[a.host].backOff.succeeded();
    }
    if (next == Next::Broken) brokenUntil[tileKey(a.source, a.tile.id)] = nowMs + kBrokenTileRetryMillis;
    if (a.prefetchRun != 0) {
        settlePrefetch(lock, std::move(a), next);
        return;
    }
    const bool stillWanted = isWanted(a.source, a.tile.id);
    if (next == Next::Retry && stillWanted) needed.push_front(std::move(a.tile));
    if (next == Next::Arrived && stillWanted && arrivals++ == 0) {
        // The waker may call back into the fetcher: not under the lock.
        lock.unlock();
        waker.wake();
        lock.lock();
    }
}

void TileFetcher::Core::backOff(const Answer& a, std::int64_t nowMs) {
    const HttpResponse& r = a.response;
    std::optional<std::int64_t> retryAfter;
    if (r.outcome == HttpResponse::Outcome::Answered) {
        const auto seconds = retryAfterSeconds(r.header("retry-after"), clock.unixSeconds());
        if (seconds) retryAfter = *seconds * 1000;
    }
    HostBackOff& b = hosts[a.host].backOff;
    const bool first = b.failures() == 0;
    const double jitter = std::uniform_real_distribution<double>(0.0, 1.0)(random);
    const std::int64_t wait = b.failed(nowMs, retryAfter, jitter);
    const bool network =
        r.outcome == HttpResponse::Outcome::Unreachable || r.outcome == HttpResponse::Outcome::TimedOut;
    if (!first || network || !log) return;
    const std::u16string why =
        r.outcome == HttpResponse::Outcome::Answered ? u"HTTP " + decimalText(r.status) : text(r.error);
    log(u"タイル: " + text(a.host) + u" が応答できません (" + why + u")。" +
        decimalText((wait + 999) / 1000) + u" 秒後に再試行します");
}

}  // namespace vamu::tiles
