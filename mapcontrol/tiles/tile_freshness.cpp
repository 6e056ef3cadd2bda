#include "mapcontrol/tiles/tile_freshness.h"

#include <algorithm>
#include <vector>

#include "mapcontrol/tiles/http_text.h"

namespace vamu::tiles {
namespace {

struct CacheControl {
    std::optional<std::int64_t> maxAge;
    bool noCache = false;
    bool noStore = false;
};

// Splits at commas outside quoted strings.
std::vector<std::string_view> directives(std::string_view value) {
    std::vector<std::string_view> parts;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= value.size(); ++i) {
        if (i < value.size() && value[i] == '"') quoted = !quoted;
        if (i == value.size() || (value[i] == ',' && !quoted)) {
            parts.push_back(http::trim(value.substr(start, i - start)));
            start = i + 1;
        }
    }
    return parts;
}

std::string_view unquoted(std::string_view v) {
    return v.size() >= 2 && v.front() == '"' && v.back() == '"' ? v.substr(1, v.size() - 2) : v;
}

// Every Cache-Control header of the answer, as one. s-maxage is for shared
// caches and this one is private; must-revalidate changes nothing here, as a
// stale tile is always revalidated before it is trusted again.
CacheControl cacheControlOf(const HttpResponse& response) {
    CacheControl cc;
    for (const auto& [name, value] : response.headers) {
        if (name != "cache-control") continue;
        for (const std::string_view d : directives(value)) {
            const std::size_t eq = d.find('=');
            const std::string_view key = http::trim(d.substr(0, eq));
            const std::string_view arg =
                eq == std::string_view::npos ? std::string_view{} : unquoted(http::trim(d.substr(eq + 1)));
            if (http::equalsIgnoringCase(key, "no-store")) cc.noStore = true;
            if (http::equalsIgnoringCase(key, "no-cache")) cc.noCache = true;
            if (http::equalsIgnoringCase(key, "max-age")) {
                // A malformed max-age makes the answer stale at once.
                const auto seconds = http::deltaSeconds(arg);
                cc.maxAge = std::min(cc.maxAge.value_or(kMaxTileLifetime), seconds.value_or(0));
            }
        }
    }
    return cc;
}

// How long the answer was fresh for when it was made, in seconds.
std::int64_t lifetimeOf(const HttpResponse& response, const CacheControl& cc,
                        std::optional<std::int64_t> date, std::int64_t now) {
    if (cc.noCache || cc.noStore) return 0;
    if (cc.maxAge) return *cc.maxAge;
    const std::string_view expires = http::trim(response.header("expires"));
    if (!expires.empty()) {
        // An Expires that is not a date ("0", "-1") means already expired.
        const auto at = parseHttpDate(expires);
        return at ? *at - date.value_or(now) : 0;
    }
    return kDefaultTileLifetime;
}

// The age the answer had when it arrived: the larger of its Age and the time
// since its Date.
std::int64_t ageOf(const HttpResponse& response, std::optional<std::int64_t> date, std::int64_t now) {
    const std::int64_t apparent = date ? std::max<std::int64_t>(0, now - *date) : 0;
    const std::int64_t age = http::deltaSeconds(http::trim(response.header("age"))).value_or(0);
    return std::clamp<std::int64_t>(std::max(apparent, age), 0, kMaxTileLifetime);
}

bool printable(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7e; });
}

std::string validator(std::string_view value) {
    value = http::trim(value);
    if (value.size() > kMaxValidatorLength || !printable(value)) return {};
    return std::string(value);
}

}  // namespace

TileMeta metaFromResponse(const HttpResponse& response, std::int64_t now) {
    const CacheControl cc = cacheControlOf(response);
    const auto date = parseHttpDate(response.header("date"));
    const std::int64_t lifetime =
        std::clamp<std::int64_t>(lifetimeOf(response, cc, date, now), 0, kMaxTileLifetime);
    TileMeta meta;
    meta.status = response.status;
    meta.fetched = now;
    meta.expires = now + std::max<std::int64_t>(0, lifetime - ageOf(response, date, now));
    meta.etag = validator(response.header("etag"));
    meta.lastModified = validator(response.header("last-modified"));
    if (!parseHttpDate(meta.lastModified)) meta.lastModified.clear();
    return meta;
}

bool mayStore(const HttpResponse& response) { return !cacheControlOf(response).noStore; }

std::optional<std::int64_t> retryAfterSeconds(std::string_view value, std::int64_t now) {
    value = http::trim(value);
    if (const auto seconds = http::deltaSeconds(value)) return std::min(*seconds, kMaxRetryAfter);
    if (const auto at = parseHttpDate(value)) return std::clamp<std::int64_t>(*at - now, 0, kMaxRetryAfter);
    return std::nullopt;
}

}  // namespace vamu::tiles
