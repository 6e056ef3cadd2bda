#include "mapcontrol/tiles/tile_fetcher.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <random>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "contracts/text.h"
#include "mapcontrol/tiles/host_back_off.h"
#include "mapcontrol/tiles/tile_freshness.h"

namespace vamu::tiles {

namespace {

// "scheme://host:port" of a URL: the servers are told apart by it.
std::string hostOf(std::string_view url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string_view::npos) return std::string(url);
    return std::string(url.substr(0, url.find_first_of("/?#", scheme + 3)));
}

std::u16string text(std::string_view utf8) { return fromUtf8(utf8); }
std::u16string number(std::int64_t n) { return fromUtf8(std::to_string(n)); }
std::u16string tileName(TileId id) { return number(id.z) + u"/" + number(id.x) + u"/" + number(id.y); }

// A tile that needs the network, with what the cache holds of it (stale).
struct Needed {
    TileId id;
    std::optional<TileMeta> previous;
};

// An answer of the transport, waiting for the worker.
struct Answer {
    std::string source;  // the URL template
    std::string host;
    Needed tile;
    std::uint64_t prefetchRun = 0;  // 0: a wanted tile
    HttpResponse response;
};

struct Host {
    int inFlight = 0;
    HostBackOff backOff{kFirstBackOffMillis, kLongestBackOffMillis};
};

struct PrefetchRun {
    std::uint64_t run = 0;
    std::string source, host;
    PrefetchTiles tiles;
    std::deque<Needed> retry;  // put back by a back-off
    TileFetcher::Progress progress;
    std::uint64_t done = 0, total = 0;
    int inFlight = 0;
};

// The disposition of an answer, decided outside the lock, applied under it.
enum class Next { Done, Arrived, Retry, Broken };

}  // namespace

std::string tileUserAgent(const std::string& version) {
    return "vamuMapserver/" + version + " (+APRS map server plug-in)";
}

struct TileFetcher::Core : std::enable_shared_from_this<TileFetcher::Core> {
    Core(HttpTransport& h, ImageDecoder& d, TileCache& c, DecodedTiles& dt, TileClock& cl, HostThreadWaker& w,
         Log l, std::string ua)
        : http(h),
          decoder(d),
          cache(c),
          decoded(dt),
          clock(cl),
          waker(w),
          log(std::move(l)),
          userAgent(std::move(ua)) {}

    HttpTransport& http;
    ImageDecoder& decoder;
    TileCache& cache;
    DecodedTiles& decoded;
    TileClock& clock;
    HostThreadWaker& waker;
    const Log log;
    const std::string userAgent;
    std::int32_t timeoutMs = kTileRequestTimeoutMs;

    std::mutex mutex;
    std::condition_variable work;     // the worker waits for something to do
    std::condition_variable settled;  // waitUntilSettled waits for the worker
    bool stopping = false;
    bool offline = false;      // setOffline
    bool networkDown = false;  // "offline" was logged

    std::string source, host;  // of the wanted tiles
    std::unordered_set<TileId, TileIdHash> wanted;
    std::deque<TileId> unexamined;  // wanted, the cache not yet looked into
    std::deque<Needed> needed;      // wanted, to be fetched
    std::size_t examining = 0;      // wanted tiles the worker is looking at now
    std::unordered_set<TileId, TileIdHash> wantedInFlight;

    std::unordered_map<std::string, Host> hosts;
    // Tiles whose answer was broken: not asked for before the time given.
    std::unordered_map<std::string, std::int64_t> brokenUntil;
    std::deque<Answer> answers;
    std::size_t arrivals = 0;
    std::optional<PrefetchRun> prefetch;
    std::uint64_t prefetchRuns = 0;
    std::minstd_rand random{0x7a11e5u};
    std::thread worker;

    // ---- state, under the lock

    static std::string tileKey(const std::string& src, TileId id) {
        return src + '\n' + std::to_string(id.z) + '/' + std::to_string(id.x) + '/' + std::to_string(id.y);
    }
    bool isWanted(const std::string& src, TileId id) const { return src == source && wanted.contains(id); }

    bool brokenNow(const std::string& src, TileId id, std::int64_t nowMs) {
        const auto it = brokenUntil.find(tileKey(src, id));
        if (it == brokenUntil.end()) return false;
        if (nowMs < it->second) return true;
        brokenUntil.erase(it);
        return false;
    }

    bool hostOpen(const std::string& h, std::int64_t nowMs) {
        return !offline && hosts[h].backOff.ready(nowMs);
    }

    // The first needed tile that may go now, or none.
    std::optional<Needed> takeNeeded(std::int64_t nowMs) {
        if (needed.empty() || !hostOpen(host, nowMs) || hosts[host].inFlight >= kRequestsPerHost) return {};
        for (auto it = needed.begin(); it != needed.end(); ++it) {
            if (brokenNow(source, it->id, nowMs)) continue;
            Needed n = std::move(*it);
            needed.erase(it);
            return n;
        }
        return {};
    }

    bool isSettled() {
        if (!unexamined.empty() || examining > 0 || !wantedInFlight.empty()) return false;
        const std::int64_t nowMs = clock.monotonicMillis();
        for (const Answer& a : answers) {
            if (a.prefetchRun == 0 && isWanted(a.source, a.tile.id)) return false;
        }
        if (needed.empty() || !hostOpen(host, nowMs)) return true;
        return std::all_of(needed.begin(), needed.end(),
                           [&](const Needed& n) { return brokenNow(source, n.id, nowMs); });
    }

    // How long the worker may sleep: until the next back-off ends.
    std::optional<std::int64_t> nextDueMillis() {
        std::optional<std::int64_t> due;
        const std::int64_t nowMs = clock.monotonicMillis();
        const auto consider = [&](std::int64_t t) {
            if (t > nowMs) due = due ? std::min(*due, t) : t;
        };
        if (!needed.empty()) consider(hosts[host].backOff.notBefore());
        if (prefetch) consider(hosts[prefetch->host].backOff.notBefore());
        for (const Needed& n : needed) {
            const auto it = brokenUntil.find(tileKey(source, n.id));
            if (it != brokenUntil.end()) consider(it->second);
        }
        return due;
    }

    // ---- the worker

    void run() {
        std::unique_lock lock(mutex);
        while (!stopping) {
            bool worked = true;
            try {
                worked = step(lock);
            } catch (...) {
                // Out of memory, or a callback that threw: the piece of work
                // is lost, the worker goes on.
                if (!lock.owns_lock()) lock.lock();
            }
            if (worked) continue;
            settled.notify_all();
            const auto due = nextDueMillis();
            if (offline || !due) {
                work.wait(lock);
            } else {
                const std::int64_t wait = std::clamp<std::int64_t>(*due - clock.monotonicMillis(), 1, 1000);
                work.wait_for(lock, std::chrono::milliseconds(wait));
            }
        }
        settled.notify_all();
    }

    // One piece of work, most urgent first; false when there was none.
    bool step(std::unique_lock<std::mutex>& lock) {
        if (!answers.empty()) {
            Answer a = std::move(answers.front());
            answers.pop_front();
            lock.unlock();
            Next next = Next::Broken;
            try {
                next = handle(a);
            } catch (...) {
            }
            lock.lock();
            settle(lock, std::move(a), next);
            return true;
        }
        if (!unexamined.empty()) {
            const TileId id = unexamined.front();
            unexamined.pop_front();
            ++examining;
            const std::string src = source;
            lock.unlock();
            std::optional<Needed> need;
            try {
                need = examine(src, id);
            } catch (...) {
            }
            lock.lock();
            --examining;
            if (need && isWanted(src, id)) needed.push_back(std::move(*need));
            return true;
        }
        const std::int64_t nowMs = clock.monotonicMillis();
        if (std::optional<Needed> n = takeNeeded(nowMs)) {
            wantedInFlight.insert(n->id);
            send(lock, source, host, std::move(*n), 0);
            return true;
        }
        return prefetchStep(lock, nowMs);
    }

    void send(std::unique_lock<std::mutex>& lock, std::string src, std::string h, Needed tile,
              std::uint64_t run) {
        ++hosts[h].inFlight;
        HttpRequest request;
        request.url = tileUrl(src, tile.id);
        request.userAgent = userAgent;
        request.timeoutMs = timeoutMs;
        if (tile.previous) {
            if (!tile.previous->etag.empty())
                request.headers.emplace_back("If-None-Match", tile.previous->etag);
            if (!tile.previous->lastModified.empty()) {
                request.headers.emplace_back("If-Modified-Since", tile.previous->lastModified);
            }
        }
        std::weak_ptr<Core> self = weak_from_this();
        Answer pending{std::move(src), std::move(h), std::move(tile), run, {}};
        lock.unlock();
        try {
            http.get(std::move(request), [self, pending](HttpResponse response) mutable {
                if (const auto core = self.lock()) {
                    pending.response = std::move(response);
                    core->receive(std::move(pending));
                }
            });
        } catch (...) {
            pending.response.error = "the request could not be started";
            receive(std::move(pending));
        }
        lock.lock();
    }

    // On the transport's thread.
    void receive(Answer answer) {
        std::lock_guard lock(mutex);
        if (stopping) return;
        answers.push_back(std::move(answer));
        work.notify_one();
    }

    // ---- looking into the cache (outside the lock)

    // Puts the tile's pixels into DecodedTiles where they are not yet; false
    // for bytes that are not a picture.
    bool ensureDecoded(const std::string& src, TileId id, const std::vector<std::uint8_t>& bytes) {
        if (decoded.find(src, id)) return true;
        std::optional<Image> image = decoder.decode(bytes, kMaxTileSide);
        if (!image) return false;
        decoded.put(src, id, std::make_shared<const Image>(std::move(*image)));
        arrived(src, id);
        return true;
    }

    // What a wanted tile needs: nothing where the cache holds it fresh (a
    // picture, or nothing there), else a request, conditional where the
    // cache holds it stale. Stale pixels are drawn meanwhile.
    std::optional<Needed> examine(const std::string& src, TileId id) {
        std::optional<CachedTile> cached = cache.read(src, id);
        if (!cached) return Needed{id, std::nullopt};
        const bool fresh = cached->fresh(clock.unixSeconds());
        if (cached->meta.status != 200) {
            if (fresh) return std::nullopt;
            return Needed{id, std::nullopt};
        }
        if (!ensureDecoded(src, id, cached->bytes)) {
            cache.forget(src, id);
            return Needed{id, std::nullopt};
        }
        if (fresh) return std::nullopt;
        return Needed{id, std::move(cached->meta)};
    }

    void arrived(const std::string& src, TileId id) {
        bool wake = false;
        {
            std::lock_guard lock(mutex);
            if (!isWanted(src, id)) return;
            wake = arrivals++ == 0;
        }
        if (wake) waker.wake();
    }

    // ---- answers (outside the lock)

    Next handle(const Answer& a) {
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

    Next handleStatus(const Answer& a) {
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

    Next keep(const Answer& a, std::int64_t now) {
        const HttpResponse& r = a.response;
        std::optional<Image> image = decoder.decode(r.body, kMaxTileSide);
        if (!image) {
            cache.forget(a.source, a.tile.id);
            logBroken(a, u"画像として読めません");
            return Next::Broken;
        }
        if (mayStore(r)) cache.store(a.source, a.tile.id, metaFromResponse(r, now), r.body);
        if (a.prefetchRun != 0) return Next::Done;
        decoded.put(a.source, a.tile.id, std::make_shared<const Image>(std::move(*image)));
        return Next::Arrived;
    }

    // Not modified: the bytes kept are good for another while.
    Next renew(const Answer& a, std::int64_t now) {
        if (!a.tile.previous) {
            logBroken(a, u"条件なしの要求に 304 が返りました");
            return Next::Broken;
        }
        TileMeta meta = metaFromResponse(a.response, now);
        meta.status = 200;
        if (meta.etag.empty()) meta.etag = a.tile.previous->etag;
        if (meta.lastModified.empty()) meta.lastModified = a.tile.previous->lastModified;
        cache.renew(a.source, a.tile.id, meta);
        return Next::Done;
    }

    void networkGone(const HttpResponse& r) {
        {
            std::lock_guard lock(mutex);
            if (networkDown) return;
            networkDown = true;
        }
        if (log)
            log(u"タイル: サーバーに接続できません (" + text(r.error) +
                u")。オフラインの間は保存済みのタイルを使います");
    }

    void networkBack() {
        {
            std::lock_guard lock(mutex);
            if (!networkDown) return;
            networkDown = false;
        }
        if (log) log(u"タイル: サーバーに再び接続できました");
    }

    void logBroken(const Answer& a, const std::u16string& why) {
        if (log)
            log(u"タイル: " + tileName(a.tile.id) + u" (" + text(a.host) + u") は" + why + u"。破棄しました");
    }

    // ---- after an answer (under the lock)

    void settle(std::unique_lock<std::mutex>& lock, Answer a, Next next) {
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

    // A failed server: wait before the next request, log the first failure.
    void backOff(const Answer& a, std::int64_t nowMs) {
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
            r.outcome == HttpResponse::Outcome::Answered ? u"HTTP " + number(r.status) : text(r.error);
        log(u"タイル: " + text(a.host) + u" が応答できません (" + why + u")。" + number((wait + 999) / 1000) +
            u" 秒後に再試行します");
    }

    // ---- prefetch (under the lock)

    bool prefetchStep(std::unique_lock<std::mutex>& lock, std::int64_t nowMs) {
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

    // Nothing to fetch where the cache holds the tile fresh.
    std::optional<Needed> prefetchExamine(const std::string& src, TileId id) {
        std::optional<CachedTile> cached = cache.read(src, id);
        if (!cached) return Needed{id, std::nullopt};
        if (cached->fresh(clock.unixSeconds())) return std::nullopt;
        if (cached->meta.status != 200) return Needed{id, std::nullopt};
        return Needed{id, std::move(cached->meta)};
    }

    void settlePrefetch(std::unique_lock<std::mutex>& lock, Answer a, Next next) {
        if (!prefetch || prefetch->run != a.prefetchRun) return;
        --prefetch->inFlight;
        if (next == Next::Retry) {
            prefetch->retry.push_front(std::move(a.tile));
            return;
        }
        prefetchProgress(lock, 1);
    }

    void prefetchProgress(std::unique_lock<std::mutex>& lock, std::uint64_t more) {
        prefetch->done = std::min(prefetch->total, prefetch->done + more);
        const auto progress = prefetch->progress;
        const std::uint64_t done = prefetch->done, total = prefetch->total;
        lock.unlock();
        if (progress) progress(done, total);
        lock.lock();
    }

    void finishPrefetchIfDone(std::unique_lock<std::mutex>& lock) {
        if (prefetch->inFlight > 0 || !prefetch->retry.empty()) return;
        const auto progress = std::move(prefetch->progress);
        const std::uint64_t total = prefetch->total;
        prefetch.reset();
        lock.unlock();
        if (progress) progress(total, total);
        lock.lock();
    }
};

TileFetcher::TileFetcher(HttpTransport& http, ImageDecoder& decoder, TileCache& cache, DecodedTiles& decoded,
                         TileClock& clock, HostThreadWaker& waker, Log log, std::string userAgent)
    : core_(std::make_shared<Core>(http, decoder, cache, decoded, clock, waker, std::move(log),
                                   std::move(userAgent))) {
    core_->worker = std::thread([core = core_.get()] { core->run(); });
}

TileFetcher::~TileFetcher() {
    {
        std::lock_guard lock(core_->mutex);
        core_->stopping = true;
    }
    core_->work.notify_all();
    core_->worker.join();
}

void TileFetcher::want(const TileSource& source, std::vector<TileId> tiles) {
    Core& c = *core_;
    std::lock_guard lock(c.mutex);
    if (source.isBuiltIn()) tiles.clear();
    if (c.source != source.urlTemplate) {
        c.source = source.urlTemplate;
        c.host = hostOf(source.urlTemplate);
        c.wantedInFlight.clear();  // still in flight, but for the other source
    }
    c.wanted.clear();
    c.unexamined.clear();
    c.needed.clear();
    for (const TileId& id : tiles) {
        if (!id.valid() || !c.wanted.insert(id).second) continue;
        if (!c.wantedInFlight.contains(id)) c.unexamined.push_back(id);
    }
    // Requests in flight for tiles no longer wanted finish, uncounted.
    std::erase_if(c.wantedInFlight, [&](const TileId& id) { return !c.wanted.contains(id); });
    const std::int64_t nowMs = c.clock.monotonicMillis();
    std::erase_if(c.brokenUntil, [&](const auto& entry) { return entry.second <= nowMs; });
    c.work.notify_one();
}

bool TileFetcher::waitUntilSettled(std::int32_t millis) {
    Core& c = *core_;
    std::unique_lock lock(c.mutex);
    c.work.notify_one();
    return c.settled.wait_for(lock, std::chrono::milliseconds(std::max(0, millis)),
                              [&] { return c.stopping || c.isSettled(); });
}

std::size_t TileFetcher::takeArrivals() {
    std::lock_guard lock(core_->mutex);
    return std::exchange(core_->arrivals, 0);
}

void TileFetcher::setRequestTimeout(std::int32_t millis) {
    std::lock_guard lock(core_->mutex);
    core_->timeoutMs = std::max(1, millis);
}

void TileFetcher::setOffline(bool offline) {
    std::lock_guard lock(core_->mutex);
    core_->offline = offline;
    core_->work.notify_one();
}

bool TileFetcher::prefetch(const TileSource& source, const PrefetchPlan& plan, Progress progress) {
    if (!plan.allowed() || source.isBuiltIn()) return false;
    Core& c = *core_;
    std::lock_guard lock(c.mutex);
    c.prefetch.emplace(PrefetchRun{++c.prefetchRuns,
                                   source.urlTemplate,
                                   hostOf(source.urlTemplate),
                                   PrefetchTiles(plan.area),
                                   {},
                                   std::move(progress),
                                   0,
                                   plan.tiles,
                                   0});
    c.work.notify_one();
    return true;
}

void TileFetcher::cancelPrefetch() {
    std::lock_guard lock(core_->mutex);
    core_->prefetch.reset();
}

}  // namespace vamu::tiles
