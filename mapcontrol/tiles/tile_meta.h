#pragma once
// What the cache keeps about one tile beside its bytes: the answer's status
// and how long it stays fresh, with the validators for a conditional request.

#include <cstdint>
#include <string>
#include <vector>

namespace vamu::tiles {

struct TileMeta {
    std::int32_t status = 200;  // 200 bytes kept; 404 nothing there (negative entry)
    std::int64_t fetched = 0;   // unix seconds
    std::int64_t expires = 0;   // unix seconds
    std::string etag;
    std::string lastModified;
};

struct CachedTile {
    TileMeta meta;
    std::vector<std::uint8_t> bytes;
    bool fresh(std::int64_t now) const { return now < meta.expires; }
};

}  // namespace vamu::tiles
