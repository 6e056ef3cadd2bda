#include "mapcontrol/tiles/tile_service.h"

#include <algorithm>
#include <cmath>

#include "contracts/text.h"
#include "mapcontrol/tiles/tile_cache.h"
#include "mapcontrol/tiles/tile_map.h"
#include "mapcontrol/tiles/tile_fetcher.h"
#include "mapcontrol/tiles/tile_math.h"

namespace vamu::tiles {
namespace {

// The sources on offer: the built-in ones, the user's from the settings,
// and this session's own server last.
std::vector<TileSource> sourcesOnOffer(const TileSettings& settings, const TileSessionOptions& session,
                                       std::vector<std::u16string>& log) {
    std::vector<TileSource> sources = builtInSources();
    for (const TileSource& user : settings.userSources) {
        const bool taken = std::any_of(sources.begin(), sources.end(),
                                       [&](const TileSource& s) { return s.name == user.name; });
        if (!taken) sources.push_back(user);
    }
    if (session.tileUrl) {
        if (const auto problem = templateProblem(*session.tileUrl)) {
            log.push_back(u"タイル: " + fromUtf8(*problem));
        } else {
            TileSource own;
            own.name = kSessionSourceName;
            own.urlTemplate = *session.tileUrl;
            own.minZoom = 0;
            own.maxZoom = 19;
            own.credit = U"";
            own.bulk = BulkPolicy::Allowed;
            sources.erase(std::remove_if(sources.begin(), sources.end(),
                                         [](const TileSource& s) { return s.name == kSessionSourceName; }),
                          sources.end());
            sources.push_back(own);
        }
    }
    return sources;
}

std::size_t indexOf(const std::vector<TileSource>& sources, const std::string& name) {
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (sources[i].name == name) return i;
    }
    return sources.size();
}

}  // namespace

// Tiles for one drawing: the decoded ones in memory first, then the disk
// cache (decoded on the way). Stale tiles are drawn and asked for again.
class TileService::Lookup : public TileLookup {
public:
    Lookup(TileService& service, const TileSource& source) : service_(service), source_(source) {}

    std::shared_ptr<const Image> tile(TileId id) override {
        const std::string& key = source_.urlTemplate;
        if (auto image = service_.decoded_->find(key, id)) return image;
        auto cached = service_.cache_->read(key, id);
        if (!cached) return nullptr;
        if (!cached->fresh(service_.platform_.clock.unixSeconds())) stale_.push_back(id);
        if (cached->meta.status != 200) return nullptr;
        auto decoded = service_.platform_.decoder.decode(cached->bytes, kMaxTileSide);
        if (!decoded || decoded->width != kTileSize || decoded->height != kTileSize) {
            service_.cache_->forget(key, id);
            return nullptr;
        }
        auto image = std::make_shared<const Image>(std::move(*decoded));
        service_.decoded_->put(key, id, image);
        return image;
    }

    std::vector<TileId> stale_;

private:
    TileService& service_;
    const TileSource& source_;
};

TileService::TileService(TilePlatform platform, TileSettings settings, const TileSessionOptions& session,
                         std::string userAgent, SaveChoice saveChoice)
    : platform_(platform),
      settings_(std::move(settings)),
      waitMillis_(session.waitMillis),
      saveChoice_(std::move(saveChoice)) {
    std::vector<std::u16string> startLog;
    sources_ = sourcesOnOffer(settings_, session, startLog);
    const std::string wanted = session.source.value_or(session.tileUrl ? kSessionSourceName : settings_.source);
    current_ = indexOf(sources_, wanted);
    if (current_ == sources_.size()) {
        startLog.push_back(u"タイル: 地図の出典 " + fromUtf8(wanted) + u" はありません、内蔵の地図を使用");
        current_ = 0;
    }
    cache_ = std::make_unique<TileCache>(platform_.cacheFiles, settings_.cacheLimitBytes,
                                         [this](const std::u16string& line) { note(line); });
    decoded_ = std::make_unique<DecodedTiles>();
    if (platform_.http) {
        fetcher_ = std::make_unique<TileFetcher>(*platform_.http, platform_.decoder, *cache_, *decoded_,
                                                 platform_.clock, platform_.waker,
                                                 [this](const std::u16string& line) { note(line); },
                                                 std::move(userAgent));
        if (session.offline) fetcher_->setOffline(true);
    }
    for (const auto& line : startLog) note(line);
}

TileService::~TileService() {
    // The fetcher's completions use the caches: it goes first.
    fetcher_.reset();
}

bool TileService::select(const std::string& name) {
    const std::size_t index = indexOf(sources_, name);
    if (index == sources_.size()) return false;
    current_ = index;
    if (fetcher_) fetcher_->want(current(), {});
    if (saveChoice_ && name != kSessionSourceName) {
        try {
            saveChoice_(name);
        } catch (...) {
            note(u"設定: 地図の出典を保存できませんでした");
        }
    }
    return true;
}

std::int32_t TileService::zoomFor(std::int32_t scale, double latitudeDegrees) const {
    const TileSource& source = current();
    mapcontrol::View view;
    view.scale = scale;
    view.lat = static_cast<std::int32_t>(latitudeDegrees * mapcontrol::kMsecPerDegree);
    return tileZoomFor(view, source.minZoom, source.maxZoom);
}

std::optional<Image> TileService::draw(const mapcontrol::View& view, const mapcontrol::MapData* data) {
    const TileSource& source = current();
    if (source.isBuiltIn()) return std::nullopt;
    TilePictureStyle style;
    style.zoom = tileZoomFor(view, source.minZoom, source.maxZoom);
    style.credit = source.creditAt(style.zoom);
    const FloorPainter floor = builtInFloor(view, data);
    for (int attempt = 0;; ++attempt) {
        Lookup lookup(*this, source);
        std::vector<TileId> missing;
        Image picture = drawTileMap(view, style, lookup, missing, floor);
        std::vector<TileId> wanted = missing;
        wanted.insert(wanted.end(), lookup.stale_.begin(), lookup.stale_.end());
        if (fetcher_) fetcher_->want(source, wanted);
        if (missing.empty() || !fetcher_ || waitMillis_ <= 0 || attempt > 0) return picture;
        fetcher_->waitUntilSettled(waitMillis_);
        fetcher_->takeArrivals();
    }
}

TileService::PrefetchResult TileService::prefetch(double x1, double y1, double x2, double y2,
                                                  std::int32_t firstZoom, std::int32_t lastZoom,
                                                  const std::function<void(std::size_t, std::size_t)>& progress) {
    PrefetchResult result;
    const TileSource& source = current();
    if (source.isBuiltIn()) {
        result.refused = true;
        result.reason = "the built-in map needs no download";
        return result;
    }
    if (!fetcher_) {
        result.refused = true;
        result.reason = "offline";
        return result;
    }
    const PrefetchPlan plan = planPrefetch(source, x1, y1, x2, y2, firstZoom, lastZoom);
    result.total = plan.tiles.size();
    if (plan.refused) {
        result.refused = true;
        result.reason = plan.reason;
        return result;
    }
    const auto outcome = fetcher_->prefetch(source, plan, progress);
    result.fetched = outcome.fetched;
    result.failed = outcome.failed;
    return result;
}

void TileService::note(const std::u16string& line) {
    const std::lock_guard lock(logMutex_);
    pendingLog_.push_back(line);
}

std::vector<std::u16string> TileService::takeLog() {
    const std::lock_guard lock(logMutex_);
    return std::exchange(pendingLog_, {});
}

bool TileService::takeArrivals() { return fetcher_ && fetcher_->takeArrivals() > 0; }

bool TileService::waitUntilSettled(std::int32_t millis) { return !fetcher_ || fetcher_->waitUntilSettled(millis); }

void TileService::published() {
    publishedAt_ = platform_.clock.monotonicMillis();
    everPublished_ = true;
    republishWanted_ = false;
}

std::int64_t TileService::republishDueIn() const {
    if (!republishWanted_ || !everPublished_) return -1;
    const std::int64_t since = platform_.clock.monotonicMillis() - publishedAt_;
    return since >= kRepublishIntervalMillis ? 0 : kRepublishIntervalMillis - since;
}

std::size_t TileService::decodedBytes() const { return decoded_->bytes(); }

}  // namespace vamu::tiles
