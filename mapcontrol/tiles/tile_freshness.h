#pragma once
// How long a tile answer stays fresh (Cache-Control, Expires, Date, Age), when
// a busy server wants to be asked again (Retry-After), and HTTP dates. Plain
// arithmetic on unix seconds: no locale, no time zone.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "contracts/tile_platform.h"
#include "mapcontrol/tiles/tile_meta.h"

namespace vamu::tiles {

// Tiles whose server says nothing about their lifetime are kept this long.
inline constexpr std::int64_t kDefaultTileLifetime = 7 * 24 * 3600;
// No answer is trusted to stay fresh longer than this.
inline constexpr std::int64_t kMaxTileLifetime = 365 * 24 * 3600;
// The longest wait a Retry-After may impose.
inline constexpr std::int64_t kMaxRetryAfter = 24 * 3600;
// Validators longer than this are not kept (nor sent back).
inline constexpr std::size_t kMaxValidatorLength = 512;

// The meta of an answer received at now (a 200 or a 404): the status, the
// expiry from Cache-Control max-age (no-cache: stale at once), else Expires
// against Date, less the Age the answer already had; kDefaultTileLifetime
// where the server gives neither. ETag and Last-Modified are kept when short
// and printable.
TileMeta metaFromResponse(const HttpResponse& response, std::int64_t now);

// False where the server forbids keeping the answer (Cache-Control: no-store):
// such a tile is drawn but not written to the cache.
bool mayStore(const HttpResponse& response);

// A Retry-After value as the seconds to wait from now: delta-seconds or an
// HTTP date, at most kMaxRetryAfter; nothing for a value that is neither.
std::optional<std::int64_t> retryAfterSeconds(std::string_view value, std::int64_t now);

// Unix seconds of an HTTP date in any of its three forms: IMF-fixdate
// ("Sun, 06 Nov 1994 08:49:37 GMT"), RFC 850 ("Sunday, 06-Nov-94 08:49:37 GMT")
// and asctime ("Sun Nov  6 08:49:37 1994"). Nothing for anything else.
std::optional<std::int64_t> parseHttpDate(std::string_view text);

// IMF-fixdate, as If-Modified-Since wants it.
std::string formatHttpDate(std::int64_t unixSeconds);

}  // namespace vamu::tiles
