#pragma once

#include <cstdint>

namespace vamu {

class Module;

// Makes index the current layer and returns its scale; error 9 outside 0..13
// with nothing changed.
std::int32_t SetLayerIndex(Module& module, std::int16_t& index);

// Switches the main map to layer index and publishes the view. Does not look
// at the entry's Enabled flag.
void SelectLayer(Module& module, std::int16_t& index);

}  // namespace vamu
