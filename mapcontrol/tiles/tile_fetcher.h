#pragma once
// Fetches the tiles a picture lacks, in the background: from the cache where
// it holds them fresh, otherwise from the tile server, politely (two requests
// at a time per server, conditional requests for stale tiles, back-off when
// the server is busy or the network is gone), and keeps what arrives in the
// cache and, decoded, in DecodedTiles. Also fetches whole areas ahead of use
// where the source allows it.
//
// One worker thread of its own looks into the cache, decodes and hands
// requests to the transport; the transport's completions only queue their
// answers for it. The caller's thread never waits for the network.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "contracts/tile_platform.h"
#include "mapcontrol/tiles/tile_cache.h"
#include "mapcontrol/tiles/tile_id.h"
#include "mapcontrol/tiles/tile_prefetch.h"
#include "mapcontrol/tiles/tile_sources.h"

namespace vamu::tiles {

// Requests per server at once.
inline constexpr int kRequestsPerHost = 2;
// The back-off of a server that failed: 1 s, doubling up to 5 minutes.
inline constexpr std::int64_t kFirstBackOffMillis = 1000;
inline constexpr std::int64_t kLongestBackOffMillis = 5 * 60 * 1000;
// A tile whose answer was broken or not a picture is asked for again after this.
inline constexpr std::int64_t kBrokenTileRetryMillis = 60 * 1000;
// The time one tile request may take.
inline constexpr std::int32_t kTileRequestTimeoutMs = 20000;

// "vamuMapserver/1.0.0 (+APRS map server plug-in)" for a version "1.0.0".
std::string tileUserAgent(const std::string& version);

class TileFetcher {
public:
    using Log = std::function<void(const std::u16string&)>;

    TileFetcher(HttpTransport& http, ImageDecoder& decoder, TileCache& cache, DecodedTiles& decoded,
                TileClock& clock, HostThreadWaker& waker, Log log, std::string userAgent);
    // Stops the worker; answers still on their way are dropped. No callback
    // into this object, and no use of the objects given to the constructor,
    // after it returns.
    ~TileFetcher();
    TileFetcher(const TileFetcher&) = delete;
    TileFetcher& operator=(const TileFetcher&) = delete;

    // The tiles the current picture lacks or holds only stale, most wanted
    // first. Replaces the previous list: queued requests for tiles no longer
    // wanted are dropped; requests in flight finish and are cached. Tiles
    // put off by a back-off are asked for once it has passed, while they are
    // still wanted.
    void want(const TileSource& source, std::vector<TileId> tiles);
    // Waits until every wanted tile has arrived, failed or been put off by a
    // back-off, or the time is up (false then).
    bool waitUntilSettled(std::int32_t millis);
    // How many wanted tiles arrived (decoded, in DecodedTiles and the cache)
    // since the last call. The waker is called (from a background thread)
    // when the first arrival after a take happens.
    std::size_t takeArrivals();
    // No request at all while set (the cache is still used).
    void setOffline(bool offline);
    // The time each request may take (kTileRequestTimeoutMs unless set).
    void setRequestTimeout(std::int32_t millis);

    // Bulk download: the plan for an area (planPrefetch) run in the
    // background after the wanted tiles, through the same per-server limits.
    // progress(done, total) is called from the worker as tiles are done
    // (fetched, found fresh in the cache, or failed) and once at the end
    // with done == total. False, with nothing started, for a refused plan.
    // A new prefetch replaces a running one.
    using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;
    bool prefetch(const TileSource& source, const PrefetchPlan& plan, Progress progress);
    void cancelPrefetch();

private:
    struct Core;
    std::shared_ptr<Core> core_;
};

}  // namespace vamu::tiles
