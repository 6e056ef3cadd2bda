#pragma once
// The inside of TileFetcher, shared by its source files (tile_fetcher.cpp:
// the worker and the requests; tile_fetcher_answers.cpp: the cache and the
// answers; tile_fetcher_prefetch.cpp: bulk downloads). Not for other code.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "mapcontrol/tiles/host_back_off.h"
#include "mapcontrol/tiles/tile_fetcher.h"

namespace vamu::tiles {

namespace fetching {

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

}  // namespace fetching

struct TileFetcher::Core : std::enable_shared_from_this<TileFetcher::Core> {
    using Needed = fetching::Needed;
    using Answer = fetching::Answer;
    using Next = fetching::Next;
    using Host = fetching::Host;
    using PrefetchRun = fetching::PrefetchRun;

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
    static std::string tileKey(const std::string& src, TileId id);
    bool isWanted(const std::string& src, TileId id) const { return src == source && wanted.contains(id); }
    bool brokenNow(const std::string& src, TileId id, std::int64_t nowMs);
    bool hostOpen(const std::string& h, std::int64_t nowMs);
    // The first needed tile that may go now, or none.
    std::optional<Needed> takeNeeded(std::int64_t nowMs);
    bool isSettled();
    // How long the worker may sleep: until the next back-off ends.
    std::optional<std::int64_t> nextDueMillis();

    // ---- the worker
    void run();
    // One piece of work, most urgent first; false when there was none.
    bool step(std::unique_lock<std::mutex>& lock);
    void send(std::unique_lock<std::mutex>& lock, std::string src, std::string h, Needed tile,
              std::uint64_t run);
    // On the transport's thread.
    void receive(Answer answer);

    // ---- looking into the cache (outside the lock)
    // Puts the tile's pixels into DecodedTiles where they are not yet; false
    // for bytes that are not a picture.
    bool ensureDecoded(const std::string& src, TileId id, const CachedTile& cached);
    // What a wanted tile needs: nothing where the cache holds it fresh (a
    // picture, or nothing there), else a request, conditional where the
    // cache holds it stale. Stale pixels are drawn meanwhile.
    std::optional<Needed> examine(const std::string& src, TileId id);
    void arrived(const std::string& src, TileId id);

    // ---- answers (outside the lock)
    Next handle(const Answer& a);
    Next handleStatus(const Answer& a);
    Next keep(const Answer& a, std::int64_t now);
    // Not modified: the bytes kept are good for another while.
    Next renew(const Answer& a, std::int64_t now);
    void networkGone(const HttpResponse& r);
    void networkBack();
    void logBroken(const Answer& a, const std::u16string& why);

    // ---- after an answer (under the lock)
    void settle(std::unique_lock<std::mutex>& lock, Answer a, Next next);
    // A failed server: wait before the next request, log the first failure.
    void backOff(const Answer& a, std::int64_t nowMs);

    // ---- prefetch (under the lock)
    bool prefetchStep(std::unique_lock<std::mutex>& lock, std::int64_t nowMs);
    // Nothing to fetch where the cache holds the tile fresh.
    std::optional<Needed> prefetchExamine(const std::string& src, TileId id);
    void settlePrefetch(std::unique_lock<std::mutex>& lock, Answer a, Next next);
    void prefetchProgress(std::unique_lock<std::mutex>& lock, std::uint64_t more);
    void finishPrefetchIfDone(std::unique_lock<std::mutex>& lock);
};

}  // namespace vamu::tiles
