#include "engine/tile_prefetch.h"

#include <algorithm>

#include "contracts/text.h"
#include "engine/module.h"
#include "engine/status.h"
#include "mapcontrol/tiles/tile_service.h"

namespace vamu {

PrefetchReport PrefetchTiles(Module& module, const PrefetchLayers& request, const PrefetchProgress& progress,
                             std::int32_t maxWaitMillis) {
    if (!module.hasPanel()) raise(ErrorNumber::ObjectNotSet);
    module.panel().sTest();
    const Store& store = module.store;
    for (const std::int16_t layer : {request.firstLayer, request.lastLayer}) {
        if (layer < 0 || layer >= store.intLayerCount) raise(ErrorNumber::SubscriptOutOfRange);
    }
    if (!module.tiles) throw RuntimeError(ErrorNumber::InvalidProcedureCall, u"タイルは使えません");
    tiles::TileService& service = *module.tiles;
    // The tiles of a layer are those its pictures are drawn from around the
    // area's middle.
    const double latitude = (request.y1 + request.y2) / 2;
    auto zoomOf = [&](std::int16_t layer) {
        return service.zoomFor(store.udtLayers[static_cast<std::size_t>(layer)].LayerScale, latitude);
    };
    const std::int32_t firstZoom = zoomOf(request.firstLayer), lastZoom = zoomOf(request.lastLayer);
    PrefetchReport report;
    report.firstZoom = std::min(firstZoom, lastZoom);
    report.lastZoom = std::max(firstZoom, lastZoom);
    std::uint64_t shown = 0;
    const auto result =
        service.prefetch(request.x1, request.y1, request.x2, request.y2, report.firstZoom, report.lastZoom,
                         maxWaitMillis, [&](std::uint64_t done, std::uint64_t total) {
                             if (!progress || (done != total && done < shown + total / 20 + 1)) return;
                             shown = done;
                             progress(done, total);
                         });
    if (!result.refusal.empty()) throw RuntimeError(ErrorNumber::InvalidProcedureCall, result.refusal);
    report.total = result.total;
    report.done = result.done;
    if (!result.finished) {
        throw RuntimeError(ErrorNumber::InternalError,
                           u"The download did not finish in time (" +
                               decimalText(static_cast<std::int64_t>(result.done)) + u" of " +
                               decimalText(static_cast<std::int64_t>(result.total)) + u" tiles)");
    }
    return report;
}

}  // namespace vamu
