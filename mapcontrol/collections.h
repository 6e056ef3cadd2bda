#pragma once
// The layer and data-set collections the control hands out: each one a
// snapshot of the catalogue as it was when the collection was read.

#include <memory>
#include <string>
#include <vector>

#include "contracts/map_control.h"
#include "mapcontrol/replacement_map_control.h"

namespace vamu::mapcontrol {

std::unique_ptr<MapLayers> makeLayerList(std::vector<LayerSpec> layers);
std::unique_ptr<MapAreas> makeAreaList(std::vector<std::u16string> areaCodes);

}  // namespace vamu::mapcontrol
