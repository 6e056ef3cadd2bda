#include "engine/render_cycle.h"

#include <string>

#include "engine/activity_log.h"
#include "engine/conversions.h"
#include "engine/module.h"
#include "mapcontrol/tiles/tile_service.h"

namespace vamu {
namespace {

constexpr char16_t kLoadingSuffix[] = u"   地図を読み込んでいます...";
constexpr char16_t kNotSaved[] = u"保存できませんでした";
constexpr std::int16_t kPixels = 3;

std::u16string decimal(std::int32_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

// Capture the main map and save it; the picture stays empty (Nothing) when
// the clipboard holds no bitmap.
PictureRef captureAndSave(Module& module) {
    Services& services = module.services;
    module.panel().atlas().copyToClipboard();
    if (!services.clipboard.hasBitmap()) {
        services.messages.show(kNotSaved, MessageButtons::Ok, std::nullopt);
        return nullptr;
    }
    PictureRef picture = services.clipboard.picture();
    services.pictures.saveAsBmp(picture, module.store.strMapFile);
    return picture;
}

// The WGS84 corners of the picture: pixel (0, 0) and pixel (W, H).
void readCorners(Module& module) {
    Store& store = module.store;
    const auto picHost = requiredRef(store.picHost);
    picHost->setScaleMode(kPixels);
    MapControl& atlas = module.panel().atlas();
    std::int32_t lat1 = 0, lng1 = 0;
    atlas.pixelToLatLng(0, 0, lat1, lng1);
    const std::int32_t width = vb::cLng(picHost->scaleWidth());
    const std::int32_t height = vb::cLng(picHost->scaleHeight());
    std::int32_t lat2 = 0, lng2 = 0;
    atlas.pixelToLatLng(width, height, lat2, lng2);

    CornerToWGS84(lat1, lng1, store.dblMapY1, store.dblMapX1);
    CornerToWGS84(lat2, lng2, store.dblMapY2, store.dblMapX2);
}

void report(Module& module) {
    Store& store = module.store;
    store.strInfo = store.strTitle + u"  " + store.layer(store.intLayer).Title;
    const auto events = requiredRef(store.objEvents);
    events->signalInformation(store.dblMapX1, store.dblMapX2, store.dblMapY1, store.dblMapY2, store.strInfo);
    events->signalSpecialRedraw(store.strInfo);
}

}  // namespace

void RefreshMap(Module& module) {
    Store& store = module.store;
    const auto form = requiredRef(store.frmHost);
    form->setCaption(form->caption() + kLoadingSuffix);

    const PictureRef picture = captureAndSave(module);
    requiredRef(form->picMap())->setPicture(picture);

    readCorners(module);

    PanelAccess& panel = module.panel();
    panel.sTest();
    panel.option_change();

    report(module);
    if (module.tiles) module.tiles->published();

    const LayerInfo& layer = store.layer(store.intLayer);
    AddLog(module, u"マップを更新->" + layer.Title + u"(" + decimal(layer.LayerScale) + u") に変更");
}

}  // namespace vamu
