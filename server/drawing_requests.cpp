// The drawing requests: a map around a point, for a rectangle, and after the
// host's picture box changed size.

#include "engine/conversions.h"
#include "engine/render_cycle.h"
#include "server/cls_map_serv.h"
#include "server/host_objects.h"

namespace vamu {

Status clsMapServ::DrawMapFromCentre(ObjectRef& /*picMap*/, double& dblDegX, double& dblDegY,
                                     vb::Boolean& result) {
    result = vb::False;
    return guarded([&] {
        double lat = 0.0, lng = 0.0;
        WGS84ToTokyo(dblDegY, dblDegX, lat, lng);
        const std::int32_t latMsec = DegToMsec(lat);
        const std::int32_t lngMsec = DegToMsec(lng);
        module_.panel().atlas().setCenter(latMsec, lngMsec, 1, 0);
        RefreshMap(module_);
        result = vb::True;
    });
}

Status clsMapServ::DrawMapFromCorners(ObjectRef& picMap, double& dblDegX1, double& dblDegY1, double& dblDegX2,
                                      double& dblDegY2, vb::Boolean& result) {
    result = vb::False;
    return guarded([&] {
        Store& store = module_.store;
        store.picHost = picMap ? module_.services.host.pictureBox(picMap) : nullptr;
        const auto picture = lateBoundPicture(module_, picMap);
        picture->setScaleMode(kScalePixels);
        store.intPicHeight = vb::cInt(picture->scaleHeight());
        store.intPicWidth = vb::cInt(picture->scaleWidth());
        MapControl& atlas = module_.panel().atlas();
        atlas.setWidth(static_cast<float>(store.intPicWidth));
        atlas.setHeight(static_cast<float>(store.intPicHeight));

        double lat = dblDegY1;
        double lng = dblDegX1;
        if (dblDegY2 != 0.0 || dblDegX2 != 0.0) {
            lat = vb::divide(vb::checked(dblDegY1 + dblDegY2), 2.0);
            lng = vb::divide(vb::checked(dblDegX1 + dblDegX2), 2.0);
        }
        const std::int32_t latMsec = DegToMsec(lat);
        const std::int32_t lngMsec = DegToMsec(lng);
        // The main map follows the overview through its position event.
        module_.panel().miniAtlas().setCenter(latMsec, lngMsec, 1, 0);
        RefreshMap(module_);
        result = vb::True;
    });
}

Status clsMapServ::ResizeMap(ObjectRef& picMap, double& /*dblDegX1*/, double& /*dblDegY1*/,
                             double& /*dblDegX2*/, double& /*dblDegY2*/, vb::Boolean& result) {
    // The result is never set: the request answers False also on success.
    result = vb::False;
    return guarded([&] {
        const auto picture = lateBoundPicture(module_, picMap);
        picture->setScaleMode(kScalePixels);
        MapControl& atlas = module_.panel().atlas();
        atlas.setWidth(vb::cSng(picture->scaleWidth()));
        atlas.setHeight(vb::cSng(picture->scaleHeight()));
        RefreshMap(module_);
    });
}

}  // namespace vamu
