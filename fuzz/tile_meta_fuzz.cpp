// The tile cache's entries, the tile settings file and HTTP dates from any
// bytes. The first byte picks which:
//   0: a cache entry. Only a whole entry decodes, and it encodes back to
//      exactly the same bytes.
//   1: the settings file. Parsing never fails; choosing a source changes
//      what parses as chosen and nothing else, and choosing it again
//      changes no byte.
//   2: an HTTP date, a Retry-After value and Cache-Control headers. A date
//      read is formatted and read back to the same second; the waits and
//      lifetimes stay within their bounds.

#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "mapcontrol/tiles/tile_entry.h"
#include "mapcontrol/tiles/tile_freshness.h"
#include "mapcontrol/tiles/tile_settings.h"

namespace {

using namespace vamu::tiles;

void entry(std::string_view bytes) {
    const std::span<const std::uint8_t> span(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             bytes.size());
    const auto tile = decodeEntry(span);
    if (!tile) return;
    const auto again = encodeEntry(tile->meta, tile->bytes);
    if (!again || !std::equal(again->begin(), again->end(), span.begin(), span.end())) std::abort();
}

void settings(std::string_view text) {
    std::vector<std::string> problems;
    const TileSettings before = parseTileSettings(text, problems);
    const std::string edited = withSourceChoice(text, "gsi-photo");
    if (withSourceChoice(edited, "gsi-photo") != edited) std::abort();
    const TileSettings after = parseTileSettings(edited, problems);
    if (before.damaged) return;
    if (after.damaged || after.source != "gsi-photo" || after.cacheFolder != before.cacheFolder ||
        after.cacheLimitBytes != before.cacheLimitBytes ||
        after.userSources.size() != before.userSources.size()) {
        std::abort();
    }
}

void dates(vamu::fuzz::Input& input) {
    const std::string_view date = input.field();
    const std::string_view retry = input.field();
    const std::int64_t now = input.value<std::int32_t>();
    if (const auto t = parseHttpDate(date)) {
        if (parseHttpDate(formatHttpDate(*t)) != t) std::abort();
    }
    if (const auto wait = retryAfterSeconds(retry, now)) {
        if (*wait < 0 || *wait > kMaxRetryAfter) std::abort();
    }
    vamu::HttpResponse response;
    response.status = 200;
    for (const char* name : {"cache-control", "expires", "date", "age", "etag", "last-modified"}) {
        response.headers.emplace_back(name, std::string(input.field()));
    }
    const TileMeta meta = metaFromResponse(response, now);
    if (meta.expires < now || meta.expires > now + kMaxTileLifetime) std::abort();
    if (meta.etag.size() > kMaxValidatorLength || meta.lastModified.size() > kMaxValidatorLength)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    vamu::fuzz::Input input(data + 1, size - 1);
    switch (data[0] % 3) {
        case 0:
            entry(input.rest());
            break;
        case 1:
            settings(input.rest());
            break;
        default:
            dates(input);
            break;
    }
    return 0;
}
