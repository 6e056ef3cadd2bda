#pragma once
// The control's picture of a view: sea, land, a graticule with labels, a
// scale bar and a mark at the centre.

#include "contracts/picture.h"
#include "mapcontrol/view.h"

namespace vamu::mapcontrol {

struct DrawingOptions {
    bool land = true;           // false for a data set the control does not know
    bool overviewMode = false;  // a frame at the centre instead of a cross
};

Image drawMap(const View& view, const DrawingOptions& options);

}  // namespace vamu::mapcontrol
