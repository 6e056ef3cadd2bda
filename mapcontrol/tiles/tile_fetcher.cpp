#include "mapcontrol/tiles/tile_fetcher.h"

#include <algorithm>
#include <utility>

#include "mapcontrol/tiles/tile_fetcher_core.h"

namespace vamu::tiles {

using fetching::Answer;
using fetching::Needed;
using fetching::Next;

namespace {

// "scheme://host:port" of a URL: the servers are told apart by it.
std::string hostOf(std::string_view url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string_view::npos) return std::string(url);
    return std::string(url.substr(0, url.find_first_of("/?#", scheme + 3)));
}

}  // namespace

std::string tileUserAgent(const std::string& version) {
    return "vamuMapserver/" + version + " (+APRS map server plug-in)";
}

std::string TileFetcher::Core::tileKey(const std::string& src, TileId id) {
    return src + '\n' + std::to_string(id.z) + '/' + std::to_string(id.x) + '/' + std::to_string(id.y);
}

bool TileFetcher::Core::brokenNow(const std::string& src, TileId id, std::int64_t nowMs) {
    const auto it = brokenUntil.find(tileKey(src, id));
    if (it == brokenUntil.end()) return false;
    if (nowMs < it->second) return true;
    brokenUntil.erase(it);
    return false;
}

bool TileFetcher::Core::hostOpen(const std::string& h, std::int64_t nowMs) {
    return !offline && hosts[h].backOff.ready(nowMs);
}

std::optional<Needed> TileFetcher::Core::takeNeeded(std::int64_t nowMs) {
    if (needed.empty() || !hostOpen(host, nowMs) || hosts[host].inFlight >= kRequestsPerHost) return {};
    for (auto it = needed.begin(); it != needed.end(); ++it) {
        if (brokenNow(source, it->id, nowMs)) continue;
        Needed n = std::move(*it);
        needed.erase(it);
        return n;
    }
    return {};
}

bool TileFetcher::Core::isSettled() {
    if (!unexamined.empty() || examining > 0 || !wantedInFlight.empty()) return false;
    const std::int64_t nowMs = clock.monotonicMillis();
    for (const Answer& a : answers) {
        if (a.prefetchRun == 0 && isWanted(a.source, a.tile.id)) return false;
    }
    if (needed.empty() || !hostOpen(host, nowMs)) return true;
    return std::all_of(needed.begin(), needed.end(),
                       [&](const Needed& n) { return brokenNow(source, n.id, nowMs); });
}

std::optional<std::int64_t> TileFetcher::Core::nextDueMillis() {
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

void TileFetcher::Core::run() {
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

bool TileFetcher::Core::step(std::unique_lock<std::mutex>& lock) {
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

void TileFetcher::Core::send(std::unique_lock<std::mutex>& lock, std::string src, std::string h, Needed tile,
                             std::uint64_t run) {
    ++hosts[h].inFlight;
    HttpRequest request;
    request.url = tileUrl(src, tile.id);
    request.userAgent = userAgent;
    request.timeoutMs = timeoutMs;
    if (tile.previous) {
        if (!tile.previous->etag.empty()) request.headers.emplace_back("If-None-Match", tile.previous->etag);
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

void TileFetcher::Core::receive(Answer answer) {
    std::lock_guard lock(mutex);
    if (stopping) return;
    answers.push_back(std::move(answer));
    work.notify_one();
}

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
    c.prefetch.emplace(fetching::PrefetchRun{++c.prefetchRuns,
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
