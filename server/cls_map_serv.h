#pragma once
// The map server class the host creates and drives. Every request runs under
// one error handler: it ends at the failing step with the failure as its
// status, work done before stays done, and a Boolean result keeps the value
// last assigned (True only as a request's last step). Arguments are the
// caller's own variables, as the host passes them by reference.

#include <cstdint>
#include <string>
#include <vector>

#include "contracts/automation.h"
#include "engine/module.h"
#include "engine/status.h"
#include "engine/vb.h"

namespace vamu {

class clsMapServ {
public:
    explicit clsMapServ(Module& module);

    // Properties.
    const std::u16string& strServerName() const { return strServerName_; }
    void setStrServerName(std::u16string value) { strServerName_ = std::move(value); }
    const std::u16string& strMapName() const { return strMapName_; }
    void setStrMapName(std::u16string value) { strMapName_ = std::move(value); }

    // The handshake.
    Status Initialize(std::u16string& strCallsign, ObjectRef& cMapServerEvents, ObjectRef& frmT);
    // strSpecialOptionMenuCaption is replaced by a new array of two elements
    // (bounds 0 To 1); blnZoomAll is left as the caller passed it.
    Status GetSupportedFeatures(vb::Boolean& blnDiagonalPan, vb::Boolean& blnZoomIn, vb::Boolean& blnZoomOut,
                                vb::Boolean& blnZoomAll, vb::Boolean& blnControlPanel,
                                std::u16string& strHelpFile, std::int32_t& lngHelpTopic,
                                std::u16string& strServerShortName,
                                std::vector<std::u16string>& strSpecialOptionMenuCaption);

    // Drawing.
    Status DrawMapFromCentre(ObjectRef& picMap, double& dblDegX, double& dblDegY, vb::Boolean& result);
    Status DrawMapFromCorners(ObjectRef& picMap, double& dblDegX1, double& dblDegY1, double& dblDegX2,
                              double& dblDegY2, vb::Boolean& result);
    Status ResizeMap(ObjectRef& picMap, double& dblDegX1, double& dblDegY1, double& dblDegX2,
                     double& dblDegY2, vb::Boolean& result);

    // Zoom and pan.
    Status ZoomIn(ObjectRef& picMap, vb::Boolean& result);
    Status ZoomOut(ObjectRef& picMap, vb::Boolean& result);
    Status ZoomPan(ObjectRef& picMap, std::int16_t& intPan, vb::Boolean& result);
    Status ZoomAll(ObjectRef& picMap, vb::Boolean& result);

    // Secondary requests.
    Status ShowControlPanel();
    Status SafeCall();
    Status AddToFavouriteViews(std::u16string& strL);
    Status LoadFavouriteViews(std::vector<std::u16string>& strFav);
    Status SaveFavouriteViews(std::vector<std::u16string>& strL);
    Status SpecialMenuOption(ObjectRef& picMap, std::int16_t& intIndex, vb::Boolean& result);

private:
    Module& module_;
    std::u16string strServerName_;
    std::u16string strMapName_;
    std::u16string strMyCallsign_;
};

// The shape of the host's events interface: four methods that do nothing.
class clsMapServerEvents {
public:
    Status SignalCallsignData() { return {}; }
    Status SignalInformation() { return {}; }
    Status SignalSpecialRedraw() { return {}; }
    Status SignalSuspend() { return {}; }
};

}  // namespace vamu
