#include <gtest/gtest.h>

#include "mapcontrol/tiles/tile_freshness.h"

namespace vamu::tiles {
namespace {

constexpr std::int64_t kNov6 = 784111777;  // Sun, 06 Nov 1994 08:49:37 GMT
constexpr std::int64_t kNow = 1765000000;  // Sat, 06 Dec 2025 05:46:40 GMT

TEST(HttpDate, ReadsTheThreeFormsAndNothingElse) {
    for (const char* text : {"Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT",
                             "Sun Nov  6 08:49:37 1994", "  sun, 06 nov 1994 08:49:37 gmt "}) {
        EXPECT_EQ(parseHttpDate(text), kNov6) << text;
    }
    EXPECT_EQ(parseHttpDate("Tuesday, 01-Jan-30 00:00:00 GMT"),
              1893456000);                                                  // two-digit years up to 69: 20xx
    EXPECT_EQ(parseHttpDate("Thu, 29 Feb 2024 23:59:60 GMT"), 1709251200);  // a leap day and a leap second
    for (const char* text :
         {"", "0", "-1", "Sun, 06 Nov 1994 08:49:37", "Sun, 06 Nov 1994 08:49:37 PST",
          "Sun, 29 Feb 2023 00:00:00 GMT", "Sun, 31 Apr 2024 00:00:00 GMT", "Sun, 06 Nov 1994 24:00:00 GMT",
          "Sun, 06 Nov 1994 08:60:00 GMT", "Sun, 06 Foo 1994 08:49:37 GMT", "Sun, 00 Nov 1994 08:49:37 GMT",
          "Sun 06 Nov 1994 08:49:37 GMT", "Sun, 06 Nov 1994 08:49:37 GMT x", "Sun, 06 Nov 94 08:49:37 GMT",
          "Sun Nov  6 08:49:37 94", "Xyz, 06 Nov 1994 08:49:37 GMT", "Sun, 06 Nov 1994 8:49:37 GMT",
          "1994-11-06T08:49:37Z"}) {
        EXPECT_FALSE(parseHttpDate(text)) << text;
    }
}

TEST(HttpDate, FormatsWhatItReads) {
    EXPECT_EQ(formatHttpDate(kNov6), "Sun, 06 Nov 1994 08:49:37 GMT");
    EXPECT_EQ(formatHttpDate(0), "Thu, 01 Jan 1970 00:00:00 GMT");
    EXPECT_EQ(formatHttpDate(951782400), "Tue, 29 Feb 2000 00:00:00 GMT");
    EXPECT_EQ(formatHttpDate(-1), "Wed, 31 Dec 1969 23:59:59 GMT");
    for (std::int64_t t = -2208988800; t < 4102444800; t += 86400 * 3 + 3607) {
        ASSERT_EQ(parseHttpDate(formatHttpDate(t)), t) << formatHttpDate(t);
    }
}

HttpResponse answer(std::vector<std::pair<std::string, std::string>> headers, std::int32_t status = 200) {
    HttpResponse r;
    r.outcome = HttpResponse::Outcome::Answered;
    r.status = status;
    r.headers = std::move(headers);
    return r;
}

std::int64_t lifetime(std::vector<std::pair<std::string, std::string>> headers) {
    return metaFromResponse(answer(std::move(headers)), kNow).expires - kNow;
}

TEST(TileFreshness, LifetimeFromCacheControlExpiresDateAndAge) {
    const std::string date = formatHttpDate(kNow - 100);
    const std::string inTwoHours = formatHttpDate(kNow - 100 + 7200);
    EXPECT_EQ(lifetime({{"cache-control", "public, max-age=3600"}, {"expires", inTwoHours}}), 3600);
    EXPECT_EQ(lifetime({{"date", date}, {"expires", inTwoHours}}), 7200 - 100);
    EXPECT_EQ(lifetime({{"expires", formatHttpDate(kNow + 500)}}), 500);
    EXPECT_EQ(lifetime({}), 7 * 86400);
    EXPECT_EQ(lifetime({{"last-modified", date}}), 7 * 86400);
    EXPECT_EQ(lifetime({{"cache-control", "s-maxage=60"}}), 7 * 86400);  // for shared caches only
    EXPECT_EQ(lifetime({{"cache-control", "max-age=3600"}, {"age", "600"}}), 3000);
    EXPECT_EQ(lifetime({{"cache-control", "max-age=60"}, {"age", "600"}}), 0);
    EXPECT_EQ(lifetime({{"cache-control", "max-age=3600"}, {"date", date}}), 3500);
    EXPECT_EQ(lifetime({{"cache-control", "max-age=\"60\""}}), 60);
    EXPECT_EQ(lifetime({{"cache-control", "private"}, {"cache-control", "MAX-AGE=90, must-revalidate"}}), 90);
    EXPECT_EQ(lifetime({{"cache-control", "max-age=99999999999999999999999"}}), kMaxTileLifetime);
    EXPECT_EQ(lifetime({{"cache-control", "max-age=soon"}}), 0);
    EXPECT_EQ(lifetime({{"cache-control", "no-cache=\"set-cookie, x\", max-age=60"}}), 0);
    EXPECT_EQ(lifetime({{"expires", "0"}}), 0);
    EXPECT_EQ(lifetime({{"date", date}, {"expires", formatHttpDate(kNow - 5000)}}), 0);

    const HttpResponse noStore = answer({{"cache-control", "no-store, max-age=600"}});
    EXPECT_FALSE(mayStore(noStore));
    EXPECT_EQ(metaFromResponse(noStore, kNow).expires, kNow);
    EXPECT_TRUE(mayStore(answer({{"cache-control", "max-age=600"}})));

    // A 404 is kept as a negative entry on the same terms.
    const TileMeta missing = metaFromResponse(answer({}, 404), kNow);
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(missing.fetched, kNow);
    EXPECT_EQ(missing.expires, kNow + 7 * 86400);
}

TEST(TileFreshness, KeepsOnlyUsableValidators) {
    const TileMeta good = metaFromResponse(
        answer({{"etag", " W/\"abc\" "}, {"last-modified", "Sun, 06 Nov 1994 08:49:37 GMT"}}), kNow);
    EXPECT_EQ(good.etag, "W/\"abc\"");
    EXPECT_EQ(good.lastModified, "Sun, 06 Nov 1994 08:49:37 GMT");
    const TileMeta bad =
        metaFromResponse(answer({{"etag", "\"a\r\nX-Injected: 1\""}, {"last-modified", "yesterday"}}), kNow);
    EXPECT_EQ(bad.etag, "");
    EXPECT_EQ(bad.lastModified, "");
    EXPECT_EQ(metaFromResponse(answer({{"etag", std::string(kMaxValidatorLength + 1, 'a')}}), kNow).etag, "");
}

TEST(TileFreshness, RetryAfterInSecondsOrAsADateWithinADay) {
    EXPECT_EQ(retryAfterSeconds("120", kNow), 120);
    EXPECT_EQ(retryAfterSeconds(" 5 ", kNow), 5);
    EXPECT_EQ(retryAfterSeconds("99999999999999999999", kNow), kMaxRetryAfter);
    EXPECT_EQ(retryAfterSeconds(formatHttpDate(kNow + 30), kNow), 30);
    EXPECT_EQ(retryAfterSeconds(formatHttpDate(kNow - 30), kNow), 0);
    EXPECT_EQ(retryAfterSeconds(formatHttpDate(kNow + 10 * 86400), kNow), kMaxRetryAfter);
    for (const char* bad : {"", "-5", "1.5", "soon", "5s"}) EXPECT_FALSE(retryAfterSeconds(bad, kNow)) << bad;
}

}  // namespace
}  // namespace vamu::tiles
