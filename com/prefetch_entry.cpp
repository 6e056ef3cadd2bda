#include "com/prefetch_entry.h"

#include "com/apartment.h"
#include "com/error_report.h"
#include "engine/tile_prefetch.h"

namespace vamu::com {

HRESULT prefetchTiles(const VamuPrefetchArea* area, VamuPrefetchProgress progress, void* context,
                      VamuPrefetchReport* report) noexcept {
    return atBoundary(GUID_NULL, [&]() -> HRESULT {
        if (!area || !report) throw nullArgument();
        // A thread that never made the map server has no panel to ask.
        Module* module = apartmentModuleIfMade();
        if (!module) raise(ErrorNumber::ObjectNotSet);
        const PrefetchLayers layers{area->x1, area->y1,         area->x2,
                                    area->y2, area->firstLayer, area->lastLayer};
        const PrefetchReport done =
            PrefetchTiles(*module, layers, [&](std::uint64_t count, std::uint64_t total) {
                if (progress) progress(context, count, total);
            });
        *report = {done.firstZoom, done.lastZoom, done.total, done.done};
        return S_OK;
    });
}

}  // namespace vamu::com
