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

// Brings the main map to the scale of the current layer, from a fresh read of
// the layer table: until then it shows the scale stored with the panel. A
// current layer the control does not offer leaves the map as it is, and so
// does a table that cannot be read (the next render cycle reports that).
void ShowCurrentLayerScale(Module& module);

}  // namespace vamu
