#pragma once

namespace vamu {

class Module;

// The render-and-publish cycle: captures the main map, saves it as the map
// bitmap, shows it in the host's picture box, reports its WGS84 corners and
// the information text to the host, and logs a line. No handler of its own:
// a failure ends it at that step, what was done stays done.
void RefreshMap(Module& module);

}  // namespace vamu
