#pragma once
// The prefetch of map tiles in the DLL that serves clsMapServ in this
// process, through its exported entry point (com/prefetch_entry.h), on the
// thread that made the server.

#include <oaidl.h>

#include "engine/status.h"
#include "engine/tile_prefetch.h"

namespace vamu::host {

// server: the map server object; the DLL is the one whose code implements
// it. A server served from another process, or a DLL without the entry
// point, is a failure that says so.
Status callPrefetch(IDispatch* server, const PrefetchLayers& area, const PrefetchProgress& progress,
                    PrefetchReport& report);

}  // namespace vamu::host
