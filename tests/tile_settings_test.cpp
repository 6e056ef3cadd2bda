#include <gtest/gtest.h>

#include "mapcontrol/tiles/credit_texts.h"
#include "mapcontrol/tiles/tile_settings.h"

namespace vamu::tiles {
namespace {

TileSettings parse(std::string_view text, std::vector<std::string>& problems) {
    problems.clear();
    return parseTileSettings(text, problems);
}

TEST(TileSources, BuiltInSourcesTheirZoomsCreditsAndPolicies) {
    std::vector<std::string> names;
    for (const TileSource& s : builtInSources()) names.push_back(s.name);
    EXPECT_EQ(names, (std::vector<std::string>{"builtin", "gsi-std", "gsi-pale", "gsi-photo", "osm"}));
    EXPECT_TRUE(builtInSource("builtin")->isBuiltIn());
    const TileSource& pale = *builtInSource("gsi-pale");
    EXPECT_EQ(tileUrl(pale.urlTemplate, {14, 14552, 6451}),
              "https://cyberjapandata.gsi.go.jp/xyz/pale/14/14552/6451.png");
    EXPECT_EQ(pale.minZoom, 5);
    EXPECT_EQ(pale.bulk, BulkPolicy::Limited);
    EXPECT_EQ(pale.bulkLimit, 2000);
    EXPECT_EQ(builtInSource("osm")->bulk, BulkPolicy::Forbidden);
    EXPECT_EQ(builtInSource("osm")->maxZoom, 19);
    EXPECT_EQ(builtInSource("osm")->creditAt(12), credits::kOsm);
    const TileSource& photo = *builtInSource("gsi-photo");
    EXPECT_EQ(photo.creditAt(8), credits::kGsiPhotoLandsat);
    EXPECT_EQ(photo.creditAt(9), credits::kGsiPhotoMosaic);
    EXPECT_EQ(photo.creditAt(13), credits::kGsiPhotoMosaic);
    EXPECT_EQ(photo.creditAt(14), credits::kGsi);
    EXPECT_EQ(builtInSource("gsi-std")->creditAt(3), credits::kGsi);
    for (const TileSource& s : builtInSources()) {
        if (!s.isBuiltIn()) {
            EXPECT_FALSE(templateProblem(s.urlTemplate)) << s.name;
        }
    }
}

TEST(TileSources, TemplatesMustBeHttpWithAllThreePlaceholders) {
    for (const char* good : {"http://a/{z}/{x}/{y}", "HTTPS://t.example:8080/{z}/{y}/{x}.png?key=abc%20d",
                             "https://{z}.example/{x}-{y}-{x}"}) {
        EXPECT_FALSE(templateProblem(good)) << good;
    }
    for (const char* bad :
         {"", "ftp://a/{z}/{x}/{y}", "file:///tmp/{z}/{x}/{y}", "//a/{z}/{x}/{y}", "https://a/{z}/{x}",
          "https://a/{z}/{y}/{y}", "https:///{z}/{x}/{y}", "https://a/{z}/{x}/{y}\n",
          "https://a/{z}/{x}/{y}\x7f", "https://a/{z} /{x}/{y}", "https://{s}.a/{z}/{x}/{y}",
          "https://a/{-y}/{z}/{x}/{y}", "https://a/{z}/{x}/{y}}", "https://u:p@a/{z}/{x}/{y}",
          "https://\xe5\x9c\xb0.jp/{z}/{x}/{y}"}) {
        const auto problem = templateProblem(bad);
        ASSERT_TRUE(problem) << bad;
        EXPECT_FALSE(problem->empty());
    }
    EXPECT_TRUE(templateProblem("https://a/{z}/{x}/{y}?" + std::string(kMaxTemplateLength, 'q')));
    EXPECT_EQ(tileUrl("https://{z}.example/{x}-{y}-{x}?{q}", {3, 5, 7}), "https://3.example/5-7-5?{q}");
}

TEST(TileSettings, ReadsTheFileAndSkipsWhatCannotBeUsed) {
    std::vector<std::string> problems;
    const TileSettings none = parse("", problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(none.source, "builtin");
    EXPECT_EQ(none.cacheLimitBytes, std::uint64_t{1} << 30);
    EXPECT_FALSE(none.damaged);

    const std::string text =
        "\xEF\xBB\xBF; settings\r\n"
        "[Tiles]\r\n"
        " Source = my topo \r\n"
        "cache = /var/cache/tiles\r\n"
        "cache_limit_mb=200\r\n"
        "source=osm\r\n"        // the first counts
        "[source my topo]\r\n"  // 7
        "url=https://t.example/{z}/{x}/{y}.png\r\n"
        "min_zoom=3\r\nmax_zoom=17\r\ncredit=© 例\r\nbulk=YES\r\ncolour=blue\r\n"
        "[source ftp]\r\nurl=ftp://t.example/{z}/{x}/{y}\r\n"                          // 14
        "[source zooms]\r\nurl=https://t/{z}/{x}/{y}\r\nmin_zoom=9\r\nmax_zoom=8\r\n"  // 16
        "[source deep]\r\nurl=https://t/{z}/{x}/{y}\r\nmax_zoom=23\r\n"                // 20
        "[source osm]\r\nurl=https://t/{z}/{x}/{y}\r\n"                                // 23
        "[source my topo]\r\nurl=https://t/{z}/{x}/{y}\r\n"                            // 25
        "[source nourl]\r\n"                                                           // 27
        "[source bulky]\r\nurl=https://t/{z}/{x}/{y}\r\nbulk=maybe\r\n"                // 28
        "[source plain]\r\nurl=http://p/{z}/{x}/{y}\r\n"                               // 31
        "[other]\r\nwhatever\r\n"
        "[tiles]\r\nnot a key line\r\ncache_limit_mb=lots\r\n";
    const TileSettings s = parse(text, problems);
    EXPECT_FALSE(s.damaged);
    EXPECT_EQ(s.source, "my topo");
    EXPECT_EQ(s.chosen().name, "my topo");
    EXPECT_EQ(s.cacheFolder, "/var/cache/tiles");
    EXPECT_EQ(s.cacheLimitBytes, std::uint64_t{200} << 20);
    ASSERT_EQ(s.userSources.size(), 2U);
    const TileSource& topo = s.userSources[0];
    EXPECT_EQ(topo.urlTemplate, "https://t.example/{z}/{x}/{y}.png");
    EXPECT_EQ(topo.minZoom, 3);
    EXPECT_EQ(topo.maxZoom, 17);
    EXPECT_EQ(topo.creditAt(10), U"© 例");
    EXPECT_EQ(topo.bulk, BulkPolicy::Allowed);
    EXPECT_EQ(s.userSources[1].name, "plain");
    EXPECT_EQ(s.userSources[1].bulk, BulkPolicy::Forbidden);
    EXPECT_EQ(s.sources().size(), builtInSources().size() + 2);
    // ftp, zooms, deep, osm, my topo again, nourl, bulky, and the two bad lines of the last [tiles].
    ASSERT_EQ(problems.size(), 9U);
    for (const char* where : {" 15 ", " 16 ", " 22 ", " 23 ", " 25 ", " 27 ", " 30 ", " 36 ", " 37 "}) {
        EXPECT_TRUE(std::any_of(problems.begin(), problems.end(), [&](const std::string& p) {
            return p.find(where) != std::string::npos;
        })) << where;
    }

    const TileSettings unknown = parse("[tiles]\nsource=nowhere\n", problems);
    EXPECT_EQ(unknown.source, "builtin");
    EXPECT_EQ(problems.size(), 1U);
    for (const std::string& damaged :
         {std::string("[tiles]\nsource=osm\n\0", 20), std::string("[tiles]\nsource=\xff\n"),
          "[tiles]\nsource=osm\n" + std::string(kMaxSettingsBytes, ';')}) {
        const TileSettings d = parse(damaged, problems);
        EXPECT_TRUE(d.damaged);
        EXPECT_EQ(d.source, "builtin");
        EXPECT_EQ(problems.size(), 1U);
    }
}

TEST(TileSettings, ChoosingASourceChangesOnlyItsLine) {
    const std::string file =
        "; my settings\r\n[other]\r\nsource=keep\r\n[tiles]  \r\ncache=x\r\n  source =  osm  "
        "\r\nsource=second\r\n";
    EXPECT_EQ(withSourceChoice(file, "gsi-std"),
              "; my settings\r\n[other]\r\nsource=keep\r\n[tiles]  \r\ncache=x\r\n  source =  gsi-std  \r\n"
              "source=second\r\n");
    EXPECT_EQ(withSourceChoice("[tiles]\nsource=\n", "osm"), "[tiles]\nsource=osm\n");
    EXPECT_EQ(withSourceChoice("[a]\nk=v\n[TILES]\ncache=x\n", "osm"),
              "[a]\nk=v\n[TILES]\nsource=osm\ncache=x\n");
    EXPECT_EQ(withSourceChoice("[tiles]", "osm"), "[tiles]\r\nsource=osm\r\n");
    EXPECT_EQ(withSourceChoice("", "osm"), "[tiles]\r\nsource=osm\r\n");
    EXPECT_EQ(withSourceChoice("[a]\nk=v", "osm"), "[a]\nk=v\n[tiles]\nsource=osm\n");
    EXPECT_EQ(withSourceChoice("[a]\r", "osm"), "[a]\r\n[tiles]\r\nsource=osm\r\n");
    EXPECT_EQ(withSourceChoice("[tiles]\r", "osm"), "[tiles]\r\nsource=osm\r\n");
    EXPECT_EQ(withSourceChoice("\xEF\xBB\xBF[tiles]\r\nsource=a", "osm"),
              "\xEF\xBB\xBF[tiles]\r\nsource=osm");
    // A line it does not understand is never taken for the source line.
    EXPECT_EQ(withSourceChoice("[tiles\nsource=a\n", "osm"), "[tiles\nsource=a\n[tiles]\nsource=osm\n");
    for (const char* bad : {"", " osm", "osm ", "a\nb", "a\rb", "\xff"}) {
        EXPECT_EQ(withSourceChoice("[tiles]\nsource=a\n", bad), "[tiles]\nsource=a\n") << bad;
    }
    std::vector<std::string> problems;
    EXPECT_EQ(parseTileSettings(
                  withSourceChoice(file + "[source mine]\r\nurl=http://h/{z}/{x}/{y}\r\n", "mine"), problems)
                  .source,
              "mine");
}

}  // namespace
}  // namespace vamu::tiles
