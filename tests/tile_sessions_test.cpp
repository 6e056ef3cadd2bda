// Map tiles end to end: vamu-host runs as its own process against the
// loopback tile server, with a settings file and a cache of the test's own,
// and is judged by what a host sees: the published picture and corners, the
// events on standard output, the panel's log, and what reached the server.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <sstream>
#include <thread>

#include "mapcontrol/palette.h"
#include "mapcontrol/tiles/tile_map.h"
#include "native/atomic_file.h"
#include "native/bmp_codec.h"
#include "support/tile_pattern.h"
#include "support/tile_server.h"

namespace vamu::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kLayerScales[] = {5000000, 2500000, 1000000, 500000, 250000, 100000, 50000,
                                         25000,   10000,   5000,    2500,   1000,   500};

struct Corners {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    bool operator==(const Corners&) const = default;
};

// What one run of vamu-host left.
struct HostRun {
    int status = -1;
    std::string out, err;

    // The corners of every SignalInformation, in order (the bare first one
    // of a session included).
    std::vector<Corners> published() const {
        std::vector<Corners> found;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::string word;
            Corners c;
            if (words >> word && word == "SignalInformation" && words >> c.x1 >> c.x2 >> c.y1 >> c.y2)
                found.push_back(c);
        }
        return found;
    }
    // The panel's log lines containing text.
    int logLines(const std::string& text) const {
        const std::size_t from = err.find("--- panel log");
        const std::size_t to = err.find("\nmap bitmap: ");
        if (from == std::string::npos || to == std::string::npos) return 0;
        std::istringstream lines(err.substr(from, to - from));
        int n = 0;
        for (std::string line; std::getline(lines, line);) n += line.find(text) != std::string::npos;
        return n;
    }
};

std::string lineOf(const std::string& text, const std::string& start) {
    const std::size_t at = text.find(start);
    if (at == std::string::npos) return {};
    return text.substr(at, text.find('\n', at) - at);
}

// A user of their own: home, settings file, cache and host directory in a
// scratch folder. Proxies point at a port nothing listens on, so that a
// request meant for a real tile server could never leave the machine.
class TileUser {
public:
    fs::path settings() const { return root_ / "vamuMapserver.ini"; }
    fs::path cache() const { return root_ / "cache" / "vamuMapserver" / "tiles"; }
    fs::path bitmapPath() const { return root_ / "uiview" / "MAPS" / "!!vamuMapserver.bmp"; }
    Image bitmap() const { return native::decodeBmp(native::readWholeFile(bitmapPath())); }

    HostRun run(std::vector<std::string> args) const {
        args.insert(args.begin(), {VAMU_HOST_PROGRAM, "--host-dir", (root_ / "uiview").string()});
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string_view entry(*e);
            const std::string_view name = entry.substr(0, entry.find('='));
            static const std::set<std::string_view> ours = {
                "VAMU_CONFIG", "VAMU_TILE_CA", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "HOME",     "http_proxy",
                "https_proxy", "HTTPS_PROXY",  "ALL_PROXY",      "all_proxy",       "no_proxy", "NO_PROXY"};
            if (!ours.count(name)) env.emplace_back(entry);
        }
        const std::string proxy = "http://127.0.0.1:" + std::to_string(deadPort_);
        for (const std::string& e :
             {"VAMU_CONFIG=" + settings().string(), "XDG_CACHE_HOME=" + (root_ / "cache").string(),
              "XDG_CONFIG_HOME=" + (root_ / "config").string(), "HOME=" + root_.path().string(),
              "http_proxy=" + proxy, "https_proxy=" + proxy, "ALL_PROXY=" + proxy})
            env.push_back(e);
        std::vector<char*> argv, envp;
        for (auto& a : args) argv.push_back(a.data());
        for (auto& e : env) envp.push_back(e.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        const fs::path out = root_ / "out", err = root_ / "err";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = 0;
        HostRun run;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
            int status = 0;
            if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
        }
        posix_spawn_file_actions_destroy(&actions);
        run.out = readBytes(out);
        run.err = readBytes(err);
        return run;
    }

    // The tile files of the cache, every server's.
    int cachedTiles() const {
        int n = 0;
        std::error_code ec;
        for (const auto& e : fs::recursive_directory_iterator(cache(), ec))
            n += e.is_regular_file() && e.path().extension() == ".tile";
        return n;
    }

private:
    TempFolder root_;
    int deadPort_ = unusedPort();
};

TileServer& server() { return sharedTileServer(); }

std::string size(std::int32_t w, std::int32_t h) { return std::to_string(w) + "x" + std::to_string(h); }

// Overlays drawn over the tiles: the centre mark, and the scale bar and the
// credit along the bottom.
std::function<bool(double, double)> overlays(std::int32_t w, std::int32_t h) {
    return [w, h](double x, double y) {
        return y > h - 40 || (std::abs(x - w / 2.0) < 12 && std::abs(y - h / 2.0) < 12);
    };
}

// The frame the host was last given, checked against the picture's size.
tiles::WgsFrame lastFrame(const HostRun& run, const Image& picture) {
    const std::vector<Corners> published = run.published();
    if (published.empty()) return {};
    const Corners c = published.back();
    return {c.x1, c.y1, c.x2, c.y2, picture.width, picture.height};
}

// The zoom a picture of a layer is drawn from, as the tile source (zoom 0 to
// 19) chooses it around the frame's middle.
std::int32_t zoomOf(const tiles::WgsFrame& f, std::int32_t scale) {
    const mapcontrol::View view{static_cast<std::int32_t>((f.y1 + f.y2) / 2 * 3600000),
                                static_cast<std::int32_t>((f.x1 + f.x2) / 2 * 3600000), scale, f.width,
                                f.height};
    return tiles::tileZoomFor(view, 0, 19);
}

std::string degrees(double d) {
    std::ostringstream s;
    s.precision(10);
    s << d;
    return s.str();
}

// Every layer of the built-in control, through the published picture and
// the corners the host was given: each dot of the pattern lies within a
// pixel of where linear interpolation between the corners puts it.
TEST(TileSessions, PublishedPicturesLineUpWithTheReportedCornersAtEveryLayer) {
    TileServer& s = server();
    const TileUser user;
    struct Place {
        double lon, lat;
        std::int32_t w, h;
    };
    for (const Place& p : {Place{139.767, 35.681, 640, 480}, Place{141.354, 43.062, 333, 517}}) {
        for (std::int16_t layer = 0; layer < 13; ++layer) {
            SCOPED_TRACE(::testing::Message() << p.lon << "," << p.lat << " layer " << layer);
            const HostRun run =
                user.run({"--tile-url", s.tileTemplate("ok"), "--size", size(p.w, p.h), "centre",
                          degrees(p.lon), degrees(p.lat), "layer", std::to_string(layer)});
            ASSERT_EQ(run.status, 0) << run.out << run.err;
            const Image picture = user.bitmap();
            ASSERT_EQ(picture.width, p.w);
            ASSERT_EQ(picture.height, p.h);
            const tiles::WgsFrame f = lastFrame(run, picture);
            expectDotsWhereTheHostPutsThem(picture, f, zoomOf(f, kLayerScales[layer]), 6, overlays(p.w, p.h));
        }
    }
}

// A second session inside the tiles' lifetime asks for nothing; once they
// have expired they are still drawn, and revalidated with If-None-Match:
// every request is conditional, the 304s renew each tile once without a
// download, and a session after that asks for nothing again.
TEST(TileSessions, ASecondSessionUsesTheCacheAndRevalidatesOnlyOnceExpired) {
    TileServer& s = server();
    const TileUser user;
    // The tiles are fetched after a session starts and are fresh for 6 s from
    // then (to the second): fresh for 5 s after the start, stale 7 s after
    // the end.
    const std::vector<std::string> session = {"--tile-url", s.tileTemplate("ok", "?max-age=6"),
                                              "--no-start", "corners",
                                              "139.70",     "35.72",
                                              "139.80",     "35.64"};
    using Clock = std::chrono::steady_clock;
    const auto stillFresh = [](Clock::time_point start) {
        return Clock::now() - start < std::chrono::seconds(5);
    };
    s.reset();
    const auto firstStart = Clock::now();
    ASSERT_EQ(user.run(session).status, 0);
    const auto firstEnd = Clock::now();
    const int tiles = s.stats().total;
    ASSERT_GT(tiles, 0);
    EXPECT_EQ(s.stats().conditional, 0);
    const std::vector<std::uint8_t> first = native::readWholeFile(user.bitmapPath());

    s.reset();
    ASSERT_EQ(user.run(session).status, 0);
    ASSERT_TRUE(stillFresh(firstStart)) << "too slow to tell";
    EXPECT_EQ(s.stats().total, 0);

    std::this_thread::sleep_until(firstEnd + std::chrono::milliseconds(7200));
    const auto renewedFrom = Clock::now();
    int revalidated = 0;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        s.reset();
        const HostRun run = user.run(session);
        ASSERT_EQ(run.status, 0);
        EXPECT_EQ(native::readWholeFile(user.bitmapPath()), first);
        const TileServerStats stats = s.stats();
        EXPECT_EQ(stats.conditional, stats.total);
        EXPECT_EQ(stats.ifNoneMatch, stats.total);
        EXPECT_EQ(stats.notModified, stats.total);
        if (round == 0) {
            EXPECT_GT(stats.total, 0) << run.out << run.err;
        }
        revalidated += stats.total;
    }
    ASSERT_TRUE(stillFresh(renewedFrom)) << "too slow to tell";
    EXPECT_EQ(revalidated, tiles);
}

// With --tile-wait 0 a drawing publishes at once; the late tiles of a slow
// server then bring exactly one more SignalInformation for the same corners,
// and that picture is whole.
TEST(TileSessions, LateTilesArePublishedOnceMoreWhenTheyHaveAllArrived) {
    TileServer& s = server();
    const TileUser user;
    const std::vector<std::string> requests = {"--size", "512x384", "centre", "139.75",
                                               "35.68",  "layer",   "7"};
    std::vector<std::string> builtIn = requests, late = requests;
    builtIn.insert(builtIn.begin(), {"--source", "builtin"});
    late.insert(late.begin(), {"--tile-url", s.tileTemplate("slow", "?ms=150"), "--tile-wait", "0"});

    const std::vector<Corners> plain = user.run(builtIn).published();
    s.reset();
    const HostRun run = user.run(late);
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_GT(s.stats().total, 4);
    const std::vector<Corners> published = run.published();
    ASSERT_EQ(published.size(), plain.size() + 1) << run.out;
    EXPECT_EQ(std::vector<Corners>(published.begin(), published.end() - 1), plain);
    EXPECT_EQ(published.back(), plain.back());
    const Image picture = user.bitmap();
    const tiles::WgsFrame f = lastFrame(run, picture);
    expectDotsWhereTheHostPutsThem(picture, f, zoomOf(f, kLayerScales[7]), 6, overlays(512, 384));
}

bool isFloor(std::uint32_t colour) {
    return colour == mapcontrol::palette::kSea || colour == mapcontrol::palette::kLand;
}

// The floor's share of a column band of a picture, overlays aside.
double floorShare(const Image& picture, std::int32_t x0, std::int32_t x1) {
    int floor = 0, all = 0;
    for (std::int32_t y = 0; y < picture.height - 40; ++y) {
        for (std::int32_t x = x0; x < x1; ++x, ++all) floor += isFloor(picture.at(x, y));
    }
    return static_cast<double>(floor) / all;
}

// The built-in source never connects, whatever server is given; --offline
// draws the cached tiles over the built-in floor without a request; a server
// that cannot be reached costs the host no error and the log one line.
TEST(TileSessions, TheBuiltInMapAndOfflineSessionsAskNothingAndRaiseNothing) {
    TileServer& s = server();
    const TileUser user;
    const std::vector<std::string> view = {"--size", "400x300", "centre", "139.80", "35.60", "layer", "6"};
    auto with = [&](std::vector<std::string> options, const std::vector<std::string>& requests) {
        options.insert(options.end(), requests.begin(), requests.end());
        return options;
    };

    ASSERT_EQ(user.run(view).status, 0);
    const std::vector<std::uint8_t> builtIn = native::readWholeFile(user.bitmapPath());
    s.reset();
    ASSERT_EQ(user.run(with({"--tile-url", s.tileTemplate("ok"), "--source", "builtin"}, view)).status, 0);
    EXPECT_EQ(s.stats().total, 0);
    EXPECT_EQ(native::readWholeFile(user.bitmapPath()), builtIn);

    // The view half a picture east: its western half is cached, the rest not.
    const HostRun online = user.run(with({"--tile-url", s.tileTemplate("ok")}, view));
    ASSERT_EQ(online.status, 0);
    const Corners c = online.published().back();
    s.reset();
    const HostRun offline = user.run({"--tile-url", s.tileTemplate("ok"), "--offline", "--size", "400x300",
                                      "centre", degrees(139.80 + (c.x2 - c.x1) / 2), "35.60", "layer", "6"});
    ASSERT_EQ(offline.status, 0) << offline.out << offline.err;
    EXPECT_EQ(s.stats().total, 0);
    const Image picture = user.bitmap();
    EXPECT_EQ(floorShare(picture, 0, 190), 0.0);
    EXPECT_GT(floorShare(picture, 210, 400), 0.75);
    const tiles::WgsFrame f = lastFrame(offline, picture);
    expectDotsWhereTheHostPutsThem(picture, f, zoomOf(f, kLayerScales[6]), 6,
                                   [&](double x, double y) { return x > 190 || overlays(400, 300)(x, y); });
    EXPECT_EQ(offline.logLines("オフライン"), 1) << offline.err;

    const std::string gone = "http://127.0.0.1:" + std::to_string(unusedPort()) + "/{z}/{x}/{y}.png";
    const HostRun unreachable =
        user.run(with({"--tile-url", gone}, {"--size", "400x300", "centre", "139.80", "35.60", "layer", "6",
                                             "pan", "2", "zoom-out"}));
    EXPECT_EQ(unreachable.status, 0) << unreachable.out;
    EXPECT_EQ(unreachable.logLines("接続できません"), 1) << unreachable.err;
    EXPECT_GT(floorShare(user.bitmap(), 0, 400), 0.75);
}

// The operator's pick goes into the settings file with every other byte as
// it was, and the next session starts with it; a damaged file means the
// defaults and one log line, and stays as it is.
TEST(TileSessions, ThePickedSourceIsKeptInTheSettingsFileAndADamagedOneMeansTheDefaults) {
    TileServer& s = server();
    const TileUser user;
    const std::string before =
        "; mine\n[tiles]\r\nsource=builtin\r\n; the cache\ncolour=blue\n\n[source mine]\nurl=" +
        s.tileTemplate("ok") + "\ncredit=Mine\n[other]\nsource=osm";
    std::string after = before;
    after.replace(after.find("source=builtin"), 14, "source=mine");
    writeBytes(user.settings(), before);
    s.reset();
    const HostRun picked = user.run({"source", "mine"});
    ASSERT_EQ(picked.status, 0) << picked.out << picked.err;
    EXPECT_GT(s.stats().total, 0);
    EXPECT_EQ(readBytes(user.settings()), after);
    EXPECT_EQ(picked.logLines("設定"), 0) << picked.err;

    s.reset();
    EXPECT_EQ(user.run({"zoom-in"}).status, 0);
    EXPECT_GT(s.stats().total, 0);

    const std::string damaged = after + std::string(1, '\0') + "\n";
    writeBytes(user.settings(), damaged);
    s.reset();
    const HostRun defaults = user.run({"zoom-in"});
    EXPECT_EQ(defaults.status, 0);
    EXPECT_EQ(s.stats().total, 0);
    EXPECT_EQ(defaults.logLines("設定"), 1) << defaults.err;
    EXPECT_EQ(readBytes(user.settings()), damaged);
}

// Bulk download: refused for OpenStreetMap always, for GSI over its limit
// with the count, and for a server of one's own unless its section allows
// it; where allowed, progress is shown and every tile lands in the cache.
TEST(TileSessions, PrefetchIsRefusedWhereTheTermsForbidItAndOtherwiseFillsTheCache) {
    TileServer& s = server();
    const TileUser user;
    writeBytes(user.settings(), "[source mine]\nurl=" + s.tileTemplate("ok") + "\nbulk=yes\n");
    const std::vector<std::string> small = {"prefetch", "139.70", "35.65", "139.75", "35.70", "6-8"};
    auto prefetch = [&](std::vector<std::string> options, const std::vector<std::string>& area) {
        options.insert(options.begin(), "--no-start");
        options.insert(options.end(), area.begin(), area.end());
        return user.run(options);
    };
    s.reset();
    const HostRun osm = prefetch({"--source", "osm"}, small);
    EXPECT_EQ(osm.status, 3);
    EXPECT_NE(lineOf(osm.out, "Prefetch -> False").find("osm は一括取得を認めていません"), std::string::npos)
        << osm.out;
    const HostRun gsi = prefetch({"--source", "gsi-std"}, {"prefetch", "139", "35", "141", "37", "4-10"});
    EXPECT_EQ(gsi.status, 3);
    const std::string overLimit = lineOf(gsi.out, "Prefetch -> False");
    const std::string limit = "gsi-std の一括取得は 2000 枚までです (";
    ASSERT_NE(overLimit.find(limit), std::string::npos) << gsi.out;
    EXPECT_GT(std::stoll(overLimit.substr(overLimit.find(limit) + limit.size())), 2000);
    const HostRun url = prefetch({"--tile-url", s.tileTemplate("ok")}, small);
    EXPECT_EQ(url.status, 3);
    EXPECT_NE(lineOf(url.out, "Prefetch -> False").find("url は一括取得を認めていません"), std::string::npos)
        << url.out;
    EXPECT_EQ(s.stats().total, 0);
    EXPECT_EQ(user.cachedTiles(), 0);

    const HostRun mine = prefetch({"--source", "mine"}, small);
    ASSERT_EQ(mine.status, 0) << mine.out << mine.err;
    const std::string summary = lineOf(mine.err, "prefetch: zoom");
    int first = 0, last = 0, total = 0, done = 0;
    ASSERT_EQ(std::sscanf(summary.c_str(), "prefetch: zoom %d to %d, %d tiles, %d done", &first, &last,
                          &total, &done),
              4)
        << mine.err;
    EXPECT_LT(first, last);
    EXPECT_EQ(done, total);
    EXPECT_NE(mine.err.find("prefetch: " + std::to_string(total) + " of " + std::to_string(total) + " tiles"),
              std::string::npos);
    EXPECT_EQ(s.stats().total, total);
    EXPECT_EQ(user.cachedTiles(), total);
}

}  // namespace
}  // namespace vamu::testing
