// The tile fetcher over the libcurl transport and the native decoder,
// against the loopback tile server: what it asks for, when it asks again,
// what it keeps, and how it behaves when the server is busy, broken or gone.
// The clock is the test's, so that expiry and back-off pass at once.

#include "mapcontrol/tiles/tile_fetcher.h"

#include "mapcontrol/tiles/host_back_off.h"
#include "mapcontrol/tiles/tile_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "native/curl_transport.h"
#include "native/tile_decoder.h"
#include "support/tile_server.h"

namespace vamu::tiles {
namespace {

using ::testing::HasSubstr;
using vamu::testing::TileServer;

// Starts at the real time (the server's Date headers are compared with it)
// and stands still; advance() moves it and the server's clock together.
class TestClock final : public TileClock {
public:
    std::int64_t unixSeconds() override { return start_ + seconds_; }
    std::int64_t monotonicMillis() override { return 1000000 + seconds_ * 1000; }
    void advance(const TileServer& server, int seconds) {
        server.advanceClock(seconds);
        seconds_ += seconds;
    }

private:
    const std::int64_t start_ =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    std::atomic<std::int64_t> seconds_ = 0;
};

class CountingWaker final : public HostThreadWaker {
public:
    void wake() override { ++wakes; }
    std::atomic<int> wakes = 0;
};

class LogLines {
public:
    TileFetcher::Log sink() {
        return [this](const std::u16string& line) {
            std::lock_guard lock(mutex_);
            lines_.push_back(line);
        };
    }
    std::vector<std::u16string> lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }

private:
    std::mutex mutex_;
    std::vector<std::u16string> lines_;
};

TileSource sourceFor(std::string urlTemplate) {
    TileSource s;
    s.name = "test";
    s.urlTemplate = std::move(urlTemplate);
    s.bulk = BulkPolicy::Allowed;
    return s;
}

std::vector<TileId> row(std::int32_t z, std::int32_t y, std::int32_t first, std::int32_t count) {
    std::vector<TileId> out;
    for (std::int32_t x = first; x < first + count; ++x) out.push_back({z, x, y});
    return out;
}

// What the fetcher works with; the cache and the clock outlive fetchers.
struct Rig {
    native::CurlTransport http;
    native::TileDecoder decoder;
    LogLines log;
    TileCache cache{nullptr, std::uint64_t{64} << 20, log.sink()};
    DecodedTiles decoded;
    TestClock clock;
    CountingWaker waker;
    std::unique_ptr<TileFetcher> fetcher = make();

    std::unique_ptr<TileFetcher> make() {
        auto f = std::make_unique<TileFetcher>(http, decoder, cache, decoded, clock, waker, log.sink(),
                                               tileUserAgent("1.0.0"));
        f->setRequestTimeout(3000);
        return f;
    }
    // Wants the tiles and waits for the fetcher to settle.
    void fetch(const TileSource& source, std::vector<TileId> tiles) {
        fetcher->want(source, std::move(tiles));
        ASSERT_TRUE(fetcher->waitUntilSettled(15000));
    }
};

const TileServer& server() {
    const TileServer& s = vamu::testing::sharedTileServer();
    s.reset();
    return s;
}

TEST(TileFetcher, FreshTilesAreNotAskedForAgainAndStaleOnesAreRevalidatedWithoutADownload) {
    const TileServer& s = server();
    Rig rig;
    const TileSource source = sourceFor(s.tileTemplate("ok", "?max-age=60"));
    const auto tiles = row(4, 5, 3, 4);
    rig.fetch(source, tiles);
    EXPECT_EQ(rig.fetcher->takeArrivals(), 4u);
    EXPECT_EQ(rig.waker.wakes, 1);
    for (const TileId& id : tiles) {
        ASSERT_TRUE(rig.decoded.find(source.urlTemplate, id));
        EXPECT_TRUE(rig.cache.read(source.urlTemplate, id));
    }
    auto stats = s.stats();
    EXPECT_EQ(stats.total, 4);
    EXPECT_EQ(stats.conditional, 0);
    ASSERT_EQ(stats.userAgents.size(), 1u);
    EXPECT_THAT(stats.userAgents.begin()->first, HasSubstr("vamuMapserver/1.0.0"));

    // A second fetcher within the expiry: the pixels come from the cache.
    DecodedTiles decoded;
    rig.fetcher = std::make_unique<TileFetcher>(rig.http, rig.decoder, rig.cache, decoded, rig.clock,
                                                rig.waker, rig.log.sink(), tileUserAgent("1.0.0"));
    rig.fetch(source, tiles);
    EXPECT_EQ(rig.fetcher->takeArrivals(), 4u);
    EXPECT_TRUE(decoded.find(source.urlTemplate, tiles[3]));
    EXPECT_EQ(s.stats().total, 4);

    // Past it: one conditional request each, answered 304 without a body,
    // after which the tiles are fresh again.
    rig.clock.advance(s, 61);
    rig.fetch(source, tiles);
    stats = s.stats();
    EXPECT_EQ(stats.total, 8);
    EXPECT_EQ(stats.conditional, 4);
    EXPECT_EQ(stats.notModified, 4);
    EXPECT_EQ(rig.fetcher->takeArrivals(), 0u);
    for (const TileId& id : tiles) {
        const auto cached = rig.cache.read(source.urlTemplate, id);
        ASSERT_TRUE(cached);
        EXPECT_TRUE(cached->fresh(rig.clock.unixSeconds()));
        EXPECT_FALSE(cached->bytes.empty());
    }
    rig.fetch(source, tiles);
    EXPECT_EQ(s.stats().total, 8);
}

// A long-running host keeps drawing the same area from the pixels in memory:
// those go stale with the answer they came from, are revalidated like the
// cache's, and a 304 makes them fresh again without a download.
TEST(TileService, TilesHeldInMemoryGoStaleWithTheirAnswer) {
    const TileServer& s = server();
    Rig rig;
    TileSessionOptions session;
    session.tileUrl = s.tileTemplate("ok", "?max-age=60");
    session.waitMillis = 15000;
    TileService service(TilePlatform{&rig.http, rig.decoder, nullptr, rig.clock, rig.waker}, TileSettings{},
                        session, tileUserAgent("1.0.0"), nullptr);
    const mapcontrol::View view{128448000, 503136000, 100000, 300, 200};  // Tokyo
    const auto drawAndSettle = [&] {
        ASSERT_TRUE(service.draw(view, nullptr));
        ASSERT_TRUE(service.waitUntilSettled(15000));
    };
    drawAndSettle();
    const int tiles = s.stats().total;
    ASSERT_GT(tiles, 0);
    drawAndSettle();
    EXPECT_EQ(s.stats().total, tiles);

    rig.clock.advance(s, 61);
    drawAndSettle();
    auto stats = s.stats();
    EXPECT_EQ(stats.conditional, tiles);
    EXPECT_EQ(stats.notModified, tiles);
    drawAndSettle();
    EXPECT_EQ(s.stats().total, 2 * tiles);
}

TEST(TileFetcher, MissingTilesAreRememberedUntilTheirAnswerExpires) {
    const TileServer& s = server();
    Rig rig;
    const TileSource source = sourceFor(s.tileTemplate("404", "?max-age=600"));
    const auto tiles = row(6, 7, 10, 3);
    rig.fetch(source, tiles);
    rig.fetch(source, tiles);
    EXPECT_EQ(s.stats().total, 3);
    EXPECT_EQ(rig.fetcher->takeArrivals(), 0u);
    EXPECT_EQ(rig.cache.read(source.urlTemplate, tiles[0])->meta.status, 404);

    rig.clock.advance(s, 601);
    rig.fetch(source, tiles);
    EXPECT_EQ(s.stats().total, 6);
    EXPECT_TRUE(rig.log.lines().empty());
}

TEST(TileFetcher, ABusyServerIsLeftAloneForItsRetryAfterThenAskedAgain) {
    const TileServer& s = server();
    Rig rig;
    const TileSource source = sourceFor(s.tileTemplate("429", "?retry-after=30"));
    const auto tiles = row(5, 1, 0, 5);
    rig.fetch(source, tiles);
    const int first = s.stats().total;
    EXPECT_GE(first, 1);
    EXPECT_LE(first, kRequestsPerHost);

    rig.clock.advance(s, 29);
    rig.fetch(source, tiles);
    EXPECT_EQ(s.stats().total, first);

    rig.clock.advance(s, 2);
    rig.fetch(source, tiles);
    EXPECT_GT(s.stats().total, first);
    // One line for the server, not one per tile or per answer.
    ASSERT_EQ(rig.log.lines().size(), 1u);
    EXPECT_NE(rig.log.lines()[0].find(u"HTTP 429"), std::u16string::npos);
}

TEST(TileFetcher, ASilentServerOrNoneAtAllMeansOfflineOnceAndBackWhenAnswersCome) {
    const TileServer& s = server();
    Rig rig;
    rig.fetcher->setRequestTimeout(300);
    const TileSource silent = sourceFor(s.tileTemplate("silent"));
    const auto start = std::chrono::steady_clock::now();
    rig.fetch(silent, row(3, 0, 0, 4));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(rig.log.lines().size(), 1u);

    // Nothing listening: a stale tile kept from before is still drawn.
    const TileSource gone =
        sourceFor("http://127.0.0.1:" + std::to_string(vamu::testing::unusedPort()) + "/{z}/{x}/{y}.png");
    const auto tiles = row(3, 1, 0, 6);
    const auto png = s.fetchBytes("/ok/3/0/1.png");
    rig.cache.store(gone.urlTemplate, tiles[0], TileMeta{200, 0, 1, "\"old\"", ""}, png);
    rig.fetch(gone, tiles);
    rig.fetch(gone, tiles);
    EXPECT_TRUE(rig.decoded.find(gone.urlTemplate, tiles[0]));
    EXPECT_EQ(rig.fetcher->takeArrivals(), 1u);
    EXPECT_EQ(rig.log.lines().size(), 1u);

    // The server of the silent tiles again, once its back-off has passed.
    rig.clock.advance(s, 10);
    rig.fetch(sourceFor(s.tileTemplate("ok")), row(3, 2, 0, 1));
    EXPECT_EQ(rig.fetcher->takeArrivals(), 1u);
    const auto lines = rig.log.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0], lines[1]);
}

TEST(TileFetcher, BrokenAnswersAreNeverKeptAsGoodNorAskedForAgainAtOnce) {
    const TileServer& s = server();
    Rig rig;
    for (const char* mode : {"corrupt", "bigbytes", "bigpixels", "truncated"}) {
        const TileSource source = sourceFor(s.tileTemplate(mode));
        const TileId id{2, 1, 1};
        rig.fetch(source, {id});
        rig.fetch(source, {id});
        EXPECT_EQ(s.stats().of(std::string("/") + mode + "/2/1/1.png"), 1) << mode;
        EXPECT_FALSE(rig.cache.read(source.urlTemplate, id)) << mode;
        EXPECT_FALSE(rig.decoded.find(source.urlTemplate, id)) << mode;
    }
    EXPECT_EQ(rig.fetcher->takeArrivals(), 0u);
    EXPECT_EQ(rig.log.lines().size(), 4u);
}

TEST(TileFetcher, TwoRequestsAtATimePerServerAndTilesNoLongerWantedAreNotAskedFor) {
    const TileServer& s = server();
    Rig rig;
    const TileSource slow = sourceFor(s.tileTemplate("slow", "?ms=400"));
    const auto first = row(6, 9, 0, 10);
    rig.fetcher->want(slow, first);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const auto second = row(6, 10, 0, 4);
    rig.fetch(slow, second);

    const auto stats = s.stats();
    EXPECT_EQ(stats.maxActive, kRequestsPerHost);
    int firstAsked = 0;
    for (const TileId& id : first) {
        if (stats.of("/slow/6/" + std::to_string(id.x) + "/9.png") == 0) continue;
        ++firstAsked;
        EXPECT_TRUE(rig.cache.read(slow.urlTemplate, id));  // finished and kept, though no longer wanted
    }
    EXPECT_EQ(firstAsked, kRequestsPerHost);
    EXPECT_EQ(stats.total, kRequestsPerHost + 4);
    EXPECT_EQ(rig.fetcher->takeArrivals(), 4u);
}

TEST(TileFetcher, OfflineMeansNoRequestAtAll) {
    const TileServer& s = server();
    Rig rig;
    rig.fetcher->setOffline(true);
    rig.fetch(sourceFor(s.tileTemplate("ok")), row(2, 0, 0, 3));
    EXPECT_EQ(s.stats().total, 0);
    rig.fetcher->setOffline(false);
    rig.fetch(sourceFor(s.tileTemplate("ok")), row(2, 0, 0, 3));
    EXPECT_EQ(s.stats().total, 3);
}

TEST(TileFetcher, PrefetchIsRefusedByPolicyAndOtherwiseFillsTheCacheWithProgress) {
    const TileServer& s = server();
    TileSource source = sourceFor(s.tileTemplate("slow", "?ms=50"));
    const PrefetchArea area{139.6, 35.62, 139.9, 35.70, 11, 12};
    source.bulk = BulkPolicy::Forbidden;
    EXPECT_FALSE(planPrefetch(source, area).allowed());
    source.bulk = BulkPolicy::Limited;
    source.bulkLimit = 5;
    const PrefetchPlan over = planPrefetch(source, area);
    EXPECT_FALSE(over.allowed());
    // z 11: columns 1818..1819, row 806; z 12: columns 3636..3639, rows 1612..1613.
    EXPECT_EQ(over.tiles, 2u + 8u);
    source.bulkLimit = 10;
    const PrefetchPlan plan = planPrefetch(source, area);
    ASSERT_TRUE(plan.allowed());

    Rig rig;
    std::mutex mutex;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
    const auto record = [&](std::uint64_t done, std::uint64_t total) {
        std::lock_guard lock(mutex);
        progress.emplace_back(done, total);
    };
    EXPECT_FALSE(rig.fetcher->prefetch(source, over, record));
    ASSERT_TRUE(rig.fetcher->prefetch(source, plan, record));
    for (int i = 0; i < 300; ++i) {
        std::lock_guard lock(mutex);
        if (!progress.empty() && progress.back().first == 10) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    {
        std::lock_guard lock(mutex);
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.back(), std::make_pair(std::uint64_t{10}, std::uint64_t{10}));
    }
    const auto stats = s.stats();
    EXPECT_EQ(stats.total, 10);
    EXPECT_LE(stats.maxActive, kRequestsPerHost);
    EXPECT_TRUE(rig.cache.read(source.urlTemplate, TileId{12, 3639, 1613}));
    EXPECT_EQ(rig.decoded.bytes(), 0u);
}

TEST(HostBackOff, DoublesFromTheFirstStepToTheLongestAndHonoursALongerRetryAfter) {
    HostBackOff b(1000, 8000);
    EXPECT_TRUE(b.ready(0));
    EXPECT_EQ(b.failed(0, std::nullopt, 0.0), 500);
    EXPECT_EQ(b.failed(0, std::nullopt, 1.0), 2000);
    EXPECT_EQ(b.failed(0, std::nullopt, 1.0), 4000);
    EXPECT_EQ(b.failed(0, std::nullopt, 1.0), 8000);
    EXPECT_EQ(b.failed(0, std::nullopt, 1.0), 8000);
    EXPECT_EQ(b.failed(100, std::nullopt, 0.5), 6000);
    EXPECT_FALSE(b.ready(6099));
    EXPECT_TRUE(b.ready(6100));
    EXPECT_EQ(b.failed(0, 30000, 1.0), 30000);
    EXPECT_EQ(b.failed(0, 10, 0.0), 4000);
    b.succeeded();
    EXPECT_TRUE(b.ready(0));
    EXPECT_EQ(b.failed(0, std::nullopt, 0.0), 500);
}

}  // namespace
}  // namespace vamu::tiles
