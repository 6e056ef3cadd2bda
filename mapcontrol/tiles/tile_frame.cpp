#include "mapcontrol/tiles/tile_frame.h"

#include "engine/conversions.h"

namespace vamu::tiles {

WgsFrame frameOf(const mapcontrol::View& view) {
    WgsFrame f;
    f.width = view.width;
    f.height = view.height;
    const mapcontrol::MsecPosition a = mapcontrol::roundedPositionAt(view, 0, 0);
    const mapcontrol::MsecPosition b = mapcontrol::roundedPositionAt(view, view.width, view.height);
    CornerToWGS84(a.lat, a.lng, f.y1, f.x1);
    CornerToWGS84(b.lat, b.lng, f.y2, f.x2);
    return f;
}

}  // namespace vamu::tiles
