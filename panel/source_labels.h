#pragma once
// How the panel names the map's sources.

#include <string>

#include "mapcontrol/tiles/tile_sources.h"

namespace vamu {

std::u16string sourceLabel(const tiles::TileSource& source);

}  // namespace vamu
