#pragma once
// Fetching the current tile source's tiles of an area ahead of use, for a
// range of the main map's layers: the tiles each layer's pictures are drawn
// from, counted first, refused where the source's terms forbid it.

#include <cstdint>
#include <functional>

namespace vamu {

class Module;

struct PrefetchLayers {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // WGS84 degrees, X longitude
    std::int16_t firstLayer = 0, lastLayer = 0;
};

struct PrefetchReport {
    std::int32_t firstZoom = 0, lastZoom = 0;
    std::uint64_t total = 0, done = 0;
};

// done of total tiles; called about every twentieth of the way and at the end.
using PrefetchProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// How long a prefetch may take before it gives up.
inline constexpr std::int32_t kPrefetchWaitMillis = 600000;

// On the host's thread; waits until the download ends. Raises 91 without a
// panel, 9 for a layer the panel does not have, 5 (with the reason) where
// the source refuses it or there are no tiles, 51 where it did not finish
// in time.
PrefetchReport PrefetchTiles(Module& module, const PrefetchLayers& request, const PrefetchProgress& progress,
                             std::int32_t maxWaitMillis = kPrefetchWaitMillis);

}  // namespace vamu
