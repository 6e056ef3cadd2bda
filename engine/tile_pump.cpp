#include "engine/tile_pump.h"

#include "engine/activity_log.h"
#include "engine/module.h"
#include "engine/render_cycle.h"
#include "engine/status.h"
#include "mapcontrol/tiles/tile_service.h"

namespace vamu {
namespace {

// A picture went out before: the host's picture box, form and events are
// known, so the cycle can run again for the same view.
bool havePublished(const Module& module) {
    const Store& store = module.store;
    return module.hasPanel() && store.picHost && store.frmHost && store.objEvents;
}

}  // namespace

std::int64_t ServiceTiles(Module& module) {
    tiles::TileService* service = module.tiles;
    if (!service) return 0;
    for (const std::u16string& line : service->takeLog()) {
        if (module.hasPanel()) AddLog(module, line);
    }
    if (service->takeArrivals() && havePublished(module)) service->republishWanted();
    const std::int64_t due = service->republishDueIn();
    if (due != 0) return due < 0 ? 0 : due;
    service->republishDone();
    const Status status = guarded([&] { RefreshMap(module); });
    if (!status.ok() && module.hasPanel()) {
        guarded(
            [&] { AddLog(module, u"タイル: 地図の再表示に失敗 (" + status.error->description() + u")"); });
    }
    return 0;
}

}  // namespace vamu
