#pragma once
// The WGS84 frame of a view of the built-in control, exactly as the
// render-and-publish cycle reports it to the host.

#include "mapcontrol/tiles/tile_math.h"
#include "mapcontrol/view.h"

namespace vamu::tiles {

// The corners of pixels (0, 0) and (width, height): the control's whole-msec
// positions there, then CornerToWGS84, the doubles the host is given.
WgsFrame frameOf(const mapcontrol::View& view);

}  // namespace vamu::tiles
