#pragma once
// The host thread's share of the map tiles: the log lines the background
// fetching left, and the re-publish of the unchanged view when tiles that
// its picture lacked have arrived.

#include <cstdint>

namespace vamu {

class Module;

// Runs on the host's thread, never inside a call from the host. Returns
// how many milliseconds later it wants to run again (a re-publish held back
// so that arrivals coalesce into one every 250 ms), or 0 for no need.
std::int64_t ServiceTiles(Module& module);

}  // namespace vamu
