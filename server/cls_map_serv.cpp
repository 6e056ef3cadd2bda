#include "server/cls_map_serv.h"

#include "engine/layer_selection.h"
#include "engine/paths.h"

namespace vamu {

clsMapServ::clsMapServ(Module& module) : module_(module) {}

Status clsMapServ::Initialize(std::u16string& strCallsign, ObjectRef& cMapServerEvents, ObjectRef& frmT) {
    return guarded([&] {
        Store& store = module_.store;
        Services& services = module_.services;
        strServerName_ = u"vamuServer";
        strMapName_ = u"Atlas";
        store.strInfo = kTitle;
        store.strTitle = store.strInfo;
        strMyCallsign_ = strCallsign;
        store.frmHost = frmT ? services.host.form(frmT) : nullptr;

        const PictureRef last = services.pictures.load(store.strMapFile);
        requiredRef(requiredRef(store.frmHost)->picMap())->setPicture(last);

        module_.panel().show();
        store.lngPanStep = kPanStep;
        store.objEvents = cMapServerEvents ? services.host.events(cMapServerEvents) : nullptr;
        store.intLayer = kStartLayer;
        // The main map still shows the scale stored with the panel; the first
        // picture, its caption and the first zoom start from layer 7.
        ShowCurrentLayerScale(module_);

        const std::u16string product = services.version.productName();
        // The result is not examined: a settings file that cannot be
        // written does not fail the handshake.
        (void)services.profile.writeString(u"MAPS", u"LAST_MAP",
                                           joinPath(store.strUIVPath, u"MAPS\\!!" + product + u".inf"),
                                           joinPath(store.strUIVPath, u"uiview32.ini"));
    });
}

Status clsMapServ::GetSupportedFeatures(vb::Boolean& blnDiagonalPan, vb::Boolean& blnZoomIn,
                                        vb::Boolean& blnZoomOut, vb::Boolean& /*blnZoomAll*/,
                                        vb::Boolean& blnControlPanel, std::u16string& strHelpFile,
                                        std::int32_t& lngHelpTopic, std::u16string& strServerShortName,
                                        std::vector<std::u16string>& strSpecialOptionMenuCaption) {
    return guarded([&] {
        Store& store = module_.store;
        store.blnCanZoomIn = vb::True;
        store.blnCanZoomOut = vb::True;
        blnZoomIn = store.blnCanZoomIn;
        blnDiagonalPan = vb::True;
        blnZoomOut = store.blnCanZoomOut;
        blnControlPanel = vb::True;
        strHelpFile = u"c:\\test.bmp";
        lngHelpTopic = -1;
        strServerShortName = u"VAMU Mapserver";
        strSpecialOptionMenuCaption = {u"ヴァムーマップサーバーHelp",
                                       u"Hello ! 「 " + strMyCallsign_ + u" 」"};
    });
}

}  // namespace vamu
