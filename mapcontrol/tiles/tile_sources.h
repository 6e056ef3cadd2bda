#pragma once
// The tile sources: the built-in offline map, the GSI and OpenStreetMap tile
// servers, and servers the user defines by a URL template.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mapcontrol/tiles/tile_id.h"

namespace vamu::tiles {

// Whether tiles may be fetched ahead of being looked at (prefetching an area
// for use without a network).
enum class BulkPolicy { Forbidden, Limited, Allowed };

// A credit that applies up to a zoom level, for sources made of different
// imagery at different zooms.
struct ZoomCredit {
    std::int32_t maxZoom = 0;
    std::u32string text;
};

struct TileSource {
    std::string name;
    std::string urlTemplate;  // empty: the built-in map
    std::int32_t minZoom = 0;
    std::int32_t maxZoom = 19;
    std::u32string credit;
    BulkPolicy bulk = BulkPolicy::Forbidden;
    std::int32_t bulkLimit = 0;  // tiles per prefetch where Limited
    // Checked in order before credit: the first whose maxZoom is not below the zoom.
    std::vector<ZoomCredit> creditsByZoom;

    bool isBuiltIn() const { return urlTemplate.empty(); }
    // The credit for a picture drawn from tiles of this zoom.
    std::u32string creditAt(std::int32_t zoom) const;
};

inline constexpr std::size_t kMaxTemplateLength = 1024;
inline constexpr std::int32_t kGsiBulkLimit = 2000;

// builtin, gsi-std, gsi-pale, gsi-photo, osm; builtin first, the default.
const std::vector<TileSource>& builtInSources();
// The built-in source of that name, or null.
const TileSource* builtInSource(std::string_view name);

// Why the template cannot be used (a sentence for the log), or nothing when
// it can: http or https with a host, {z}, {x} and {y} each present, no other
// placeholder, printable ASCII only, at most kMaxTemplateLength bytes.
std::optional<std::string> templateProblem(std::string_view urlTemplate);
// The template with {z}, {x} and {y} filled in.
std::string tileUrl(std::string_view urlTemplate, TileId id);

}  // namespace vamu::tiles
