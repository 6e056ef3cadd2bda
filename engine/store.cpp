#include "engine/store.h"

namespace vamu {

LayerInfo& Store::layer(std::int32_t index) {
    if (index < 0 || index >= static_cast<std::int32_t>(kLayerSlots)) {
        raise(ErrorNumber::SubscriptOutOfRange);
    }
    return udtLayers[static_cast<std::size_t>(index)];
}

}  // namespace vamu
