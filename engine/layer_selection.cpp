#include "engine/layer_selection.h"

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

}  // namespace vamu
