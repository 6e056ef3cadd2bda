#pragma once
// The control's layer and data-set collections and their items, called by
// member name: Count, Item (zero-based, the index a Long by reference),
// Title, LayerScale, LayerID, Enabled, AreaCode.

#include <oaidl.h>

#include <memory>

#include "contracts/map_control.h"
#include "win/platform/com_ptr.h"

namespace vamu::win::activex {

std::unique_ptr<MapLayers> namedLayers(ComPtr<IDispatch> collection);
std::unique_ptr<MapAreas> namedAreas(ComPtr<IDispatch> collection);

}  // namespace vamu::win::activex
