#include "mapcontrol/tiles/tile_service.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>

#include "contracts/text.h"
#include "mapcontrol/tiles/tile_cache.h"
#include "mapcontrol/tiles/tile_map.h"
#include "mapcontrol/tiles/tile_fetcher.h"
#include "mapcontrol/tiles/tile_math.h"
#include "mapcontrol/tiles/tile_prefetch.h"

namespace vamu::tiles {
namespace {

// A server's own name stands as the credit of a source that gives none, so
// that the picture always says where its tiles came from.
std::u32string creditOrHost(const TileSource& source) {
    if (!source.credit.empty()) return source.credit;
    const std::string& url = source.urlTemplate;
    const std::size_t start = url.find("://");
    const std::size_t from = start == std::string::npos ? 0 : start + 3;
    const std::size_t end = url.find_first_of("/:?#", from);
    const std::string host = url.substr(from, end == std::string::npos ? std::string::npos : end - from);
    return U"Tiles: " + std::u32string(host.begin(), host.end());
}

// The sources on offer: the built-in ones, the user's from the settings,
// and this session's own server last.
std::vector<TileSource> sourcesOnOffer(const TileSettings& settings, const TileSessionOptions& session,
                                       std::vector<std::u16string>& log) {
    std::vector<TileSource> sources = builtInSources();
    for (const TileSource& user : settings.userSources) {
        const bool taken = std::any_of(sources.begin(), sources.end(),
                                       [&](const TileSource& s) { return s.name == user.name; });
        if (taken) continue;
        sources.push_back(user);
        sources.back().credit = creditOrHost(user);
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
            own.credit = creditOrHost(own);
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
        const std::int64_t now = service_.platform_.clock.unixSeconds();
        std::int64_t expires = 0;
        if (auto image = service_.decoded_->find(key, id, &expires)) {
            if (now >= expires) stale_.push_back(id);
            return image;
        }
        auto cached = service_.cache_->read(key, id);
        if (!cached) return nullptr;
        if (!cached->fresh(now)) stale_.push_back(id);
        if (cached->meta.status != 200) return nullptr;
        auto decoded = service_.platform_.decoder.decode(cached->bytes, kMaxTileSide);
        if (!decoded || decoded->width != kTileSize || decoded->height != kTileSize) {
            service_.cache_->forget(key, id);
            return nullptr;
        }
        auto image = std::make_shared<const Image>(std::move(*decoded));
        service_.decoded_->put(key, id, image, cached->meta.expires);
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
    const std::string wanted =
        session.source.value_or(session.tileUrl ? kSessionSourceName : settings_.source);
    current_ = indexOf(sources_, wanted);
    if (current_ == sources_.size()) {
        startLog.push_back(u"タイル: 地図の出典 " + fromUtf8(wanted) + u" はありません、内蔵の地図を使用");
        current_ = 0;
    }
    if (session.offline) {
        startLog.push_back(u"タイル: オフラインです。保存済みのタイルと内蔵の地図だけを表示します");
    }
    cache_ = std::make_unique<TileCache>(platform_.cacheFiles, settings_.cacheLimitBytes,
                                         [this](const std::u16string& line) { note(line); });
    decoded_ = std::make_unique<DecodedTiles>();
    if (platform_.http) {
        fetcher_ = std::make_unique<TileFetcher>(
            *platform_.http, platform_.decoder, *cache_, *decoded_, platform_.clock, platform_.waker,
            [this](const std::u16string& line) { note(line); }, std::move(userAgent));
        if (session.offline) fetcher_->setOffline(true);
        offline_ = session.offline;
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
                                                  std::int32_t maxWaitMillis,
                                                  const PrefetchProgress& progress) {
    PrefetchResult result;
    const TileSource& source = current();
    if (source.isBuiltIn()) {
        result.refusal = u"内蔵の地図はダウンロードするものがありません";
        return result;
    }
    if (!fetcher_ || offline_) {
        result.refusal = u"オフラインです";
        return result;
    }
    PrefetchArea area{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2),
                      std::max(y1, y2), firstZoom,        lastZoom};
    const PrefetchPlan plan = planPrefetch(source, area);
    result.total = plan.tiles;
    if (!plan.allowed()) {
        result.refusal = plan.refusal;
        return result;
    }
    // The worker reports progress; this thread waits for the last report.
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        std::uint64_t done = 0;
        bool finished = false;
    };
    auto shared = std::make_shared<Shared>();
    const bool started = fetcher_->prefetch(source, plan, [shared](std::uint64_t done, std::uint64_t total) {
        const std::lock_guard lock(shared->mutex);
        shared->done = done;
        shared->finished = done >= total;
        shared->changed.notify_all();
    });
    if (!started) {
        result.refusal = plan.refusal.empty() ? u"ダウンロードを始められませんでした" : plan.refusal;
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxWaitMillis);
    std::unique_lock lock(shared->mutex);
    std::uint64_t reported = ~std::uint64_t{0};
    while (!shared->finished) {
        if (shared->done != reported && progress) {
            reported = shared->done;
            lock.unlock();
            progress(reported, plan.tiles);
            lock.lock();
            continue;
        }
        if (shared->changed.wait_until(lock, deadline) == std::cv_status::timeout) break;
    }
    result.done = shared->done;
    result.finished = shared->finished;
    lock.unlock();
    if (!result.finished) fetcher_->cancelPrefetch();
    if (progress) progress(result.done, plan.tiles);
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

bool TileService::waitUntilSettled(std::int32_t millis) {
    return !fetcher_ || fetcher_->waitUntilSettled(millis);
}

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
