#include "engine/layer_selection.h"

#include <algorithm>

#include "engine/module.h"
#include "engine/render_cycle.h"

namespace vamu {

std::int32_t SetLayerIndex(Module& module, std::int16_t& index) {
    const std::int32_t scale = module.store.layer(index).LayerScale;
    module.store.intLayer = index;
    return scale;
}

void SelectLayer(Module& module, std::int16_t& index) {
    const std::int32_t scale = SetLayerIndex(module, index);
    module.panel().atlas().setLayerScale(scale);
    RefreshMap(module);
}

void ShowCurrentLayerScale(Module& module) {
    const Store& store = module.store;
    try {
        module.panel().sTest();
        const std::int32_t offered = std::min<std::int32_t>(store.intLayerCount, kLayerSlots);
        if (store.intLayer < 0 || store.intLayer >= offered) return;
        const std::int32_t scale = store.udtLayers[static_cast<std::size_t>(store.intLayer)].LayerScale;
        if (scale > 0) module.panel().atlas().setLayerScale(scale);
    } catch (const RuntimeError&) {
        // The handshake does not depend on the map: the next render cycle
        // meets the same failure and reports it with its request.
    }
}

}  // namespace vamu
