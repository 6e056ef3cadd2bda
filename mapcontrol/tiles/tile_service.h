#pragma once
// The map tiles as the plug-in uses them: the sources on offer and the one
// chosen, the disk and memory caches, the fetcher working in the background,
// and the drawing of a view from whatever the caches hold. Everything here
// runs on the host's thread except the fetcher's completions.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "contracts/picture.h"
#include "contracts/tile_platform.h"
#include "mapcontrol/tiles/tile_settings.h"
#include "mapcontrol/tiles/tile_sources.h"
#include "mapcontrol/view.h"

namespace vamu::mapcontrol {
class MapData;
}

namespace vamu::tiles {

class TileCache;
class DecodedTiles;
class TileFetcher;

// What the platform lends the tiles. A null transport means no network at all.
struct TilePlatform {
    HttpTransport* http = nullptr;
    ImageDecoder& decoder;
    CacheFiles* cacheFiles = nullptr;  // null: memory-only caching
    TileClock& clock;
    HostThreadWaker& waker;
};

// Choices of one session that override the settings file (vamu-host's
// options, or the environment of the process).
struct TileSessionOptions {
    std::optional<std::string> source;   // a source's name
    std::optional<std::string> tileUrl;  // a user-defined source "url" for this session
    std::int32_t waitMillis = 0;         // how long a drawing waits for its tiles
    bool offline = false;                // no request at all
};

inline constexpr char kSessionSourceName[] = "url";
inline constexpr std::int64_t kRepublishIntervalMillis = 250;

class TileService {
public:
    using SaveChoice = std::function<void(const std::string& sourceName)>;

    TileService(TilePlatform platform, TileSettings settings, const TileSessionOptions& session,
                std::string userAgent, SaveChoice saveChoice);
    ~TileService();
    TileService(const TileService&) = delete;
    TileService& operator=(const TileService&) = delete;

    // The sources on offer: the built-in ones, then the user's.
    const std::vector<TileSource>& sources() const noexcept { return sources_; }
    const TileSource& current() const noexcept { return sources_[current_]; }
    // Chooses a source by name and keeps the choice in the settings file;
    // false for a name that is not on offer.
    bool select(const std::string& name);

    // The view drawn from tiles, or nothing while the built-in map is the
    // source. The built-in map's data (null: none) shows where no tile can
    // stand in.
    std::optional<Image> draw(const mapcontrol::View& view, const mapcontrol::MapData* data);

    // Bulk download of the tiles of a WGS84 rectangle for a range of zoom
    // levels. The count comes first; a source whose terms forbid it, or a
    // count over its limit, is refused with the reason. progress(done, total).
    // Waits for the download to end (or the time to run out) and says how
    // far it came.
    struct PrefetchResult {
        std::u16string refusal;  // empty where it ran
        std::uint64_t total = 0, done = 0;
        bool finished = false;
    };
    using PrefetchProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;
    PrefetchResult prefetch(double x1, double y1, double x2, double y2, std::int32_t firstZoom,
                            std::int32_t lastZoom, std::int32_t maxWaitMillis,
                            const PrefetchProgress& progress);
    // The zoom the tiles are drawn from at a layer's scale around a latitude.
    std::int32_t zoomFor(std::int32_t scale, double latitudeDegrees) const;

    // A line for the panel's log, from any thread.
    void note(const std::u16string& line);
    // On the host's thread: the log lines the background work left, and
    // whether tiles that the last picture lacked have arrived since.
    std::vector<std::u16string> takeLog();
    bool takeArrivals();
    // Waits for the tiles the last picture lacked, up to the time given.
    bool waitUntilSettled(std::int32_t millis);
    // The re-publish timer. published(): a picture went out (any request's
    // or a re-publish). republishWanted(): tiles the picture lacked arrived.
    // republishDueIn(): -1 nothing due, 0 now, otherwise the milliseconds
    // until the next re-publish may go out (one every 250 ms at most).
    void published();
    void republishWanted() { republishWanted_ = true; }
    std::int64_t republishDueIn() const;
    void republishDone() { republishWanted_ = false; }
    // The memory held by decoded tiles.
    std::size_t decodedBytes() const;

private:
    class Lookup;

    TilePlatform platform_;
    TileSettings settings_;
    std::vector<TileSource> sources_;
    std::size_t current_ = 0;
    std::int32_t waitMillis_ = 0;
    bool offline_ = false;
    SaveChoice saveChoice_;
    std::unique_ptr<TileCache> cache_;
    std::unique_ptr<DecodedTiles> decoded_;
    std::unique_ptr<TileFetcher> fetcher_;
    std::mutex logMutex_;
    std::vector<std::u16string> pendingLog_;
    std::int64_t publishedAt_ = 0;
    bool everPublished_ = false;
    bool republishWanted_ = false;
};

}  // namespace vamu::tiles
