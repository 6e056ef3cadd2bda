// Zoom and pan: a zoom step moves the main map to the nearest enabled layer
// above or below the current one; a pan moves the overview by a fixed step.

#include "engine/activity_log.h"
#include "engine/render_cycle.h"
#include "server/cls_map_serv.h"
#include "server/host_objects.h"

namespace vamu {
namespace {

constexpr std::int16_t kHighestZoomLayer = 12;

// Steps from the current layer towards `step` and returns the first enabled
// entry, or -1 when the search reaches its bound.
std::int16_t nextEnabledLayer(const Store& store, std::int16_t step) {
    for (std::int32_t i = store.intLayer + step; i >= 0 && i <= kHighestZoomLayer; i += step) {
        if (store.udtLayers[static_cast<std::size_t>(i)].Enabled == vb::True) {
            return static_cast<std::int16_t>(i);
        }
    }
    return -1;
}

bool zoomTo(Module& module, std::int16_t step, const char16_t* refusal) {
    const std::int16_t layer = nextEnabledLayer(module.store, step);
    if (layer < 0) {
        AddLog(module, refusal);
        return false;
    }
    module.panel().atlas().setLayerScale(module.store.udtLayers[static_cast<std::size_t>(layer)].LayerScale);
    module.store.intLayer = layer;
    RefreshMap(module);
    return true;
}

// The overview's new centre for a pan code, or false for a code that does
// not move the map.
bool panTarget(std::int16_t code, std::int32_t step, std::int32_t& lat, std::int32_t& lng) {
    const int north = code & 12;
    const int east = code & 3;
    if (code < 0 || code > 10 || north == 12 || east == 3) return false;
    if (north == 4) lat = vb::addLong(lat, step);
    if (north == 8) lat = vb::subLong(lat, step);
    if (east == 1) lng = vb::subLong(lng, step);
    if (east == 2) lng = vb::addLong(lng, step);
    return true;
}

}  // namespace

Status clsMapServ::ZoomIn(ObjectRef& /*picMap*/, vb::Boolean& result) {
    result = vb::False;
    return guarded([&] {
        if (zoomTo(module_, +1, u"これ以上縮小できません")) result = vb::True;
    });
}

Status clsMapServ::ZoomOut(ObjectRef& /*picMap*/, vb::Boolean& result) {
    result = vb::False;
    return guarded([&] {
        if (zoomTo(module_, -1, u"これ以上広域にはできません")) result = vb::True;
    });
}

Status clsMapServ::ZoomPan(ObjectRef& picMap, std::int16_t& intPan, vb::Boolean& result) {
    result = vb::False;
    return guarded([&] {
        const auto picture = lateBoundPicture(module_, picMap);
        picture->setScaleMode(kScalePixels);
        const std::int32_t x = vb::cLng(vb::divide(picture->scaleWidth(), 2.0));
        const std::int32_t y = vb::cLng(vb::divide(picture->scaleHeight(), 2.0));
        std::int32_t lat = 0, lng = 0;
        module_.panel().atlas().pixelToLatLng(x, y, lat, lng);
        if (panTarget(intPan, module_.store.lngPanStep, lat, lng)) {
            module_.panel().miniAtlas().setCenter(lat, lng, 1, 0);
        }
        RefreshMap(module_);
        result = vb::True;
    });
}

Status clsMapServ::ZoomAll(ObjectRef& /*picMap*/, vb::Boolean& result) {
    result = vb::False;
    return guarded([&] { module_.services.messages.show(u"ZoomAll", MessageButtons::Ok, std::nullopt); });
}

}  // namespace vamu
