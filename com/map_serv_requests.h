#pragma once
// The requests of clsMapServ with the parameters of the dual interface:
// each reads the caller's variables, runs the core's request and stores the
// by-reference arguments and the result back. The vtable methods and
// IDispatch::Invoke both come through here.

#include <windows.h>
#include <oaidl.h>

#include "engine/status.h"
#include "server/cls_map_serv.h"

namespace vamu::com {

class MapServRequests {
public:
    explicit MapServRequests(Module& module) : core_(module) {}

    Status getServerName(BSTR* value);
    Status putServerName(BSTR value);
    Status getMapName(BSTR* value);
    Status putMapName(BSTR value);

    Status AddToFavouriteViews(BSTR* strL);
    Status GetSupportedFeatures(VARIANT_BOOL* blnDiagonalPan, VARIANT_BOOL* blnZoomIn,
                                VARIANT_BOOL* blnZoomOut, VARIANT_BOOL* blnZoomAll,
                                VARIANT_BOOL* blnControlPanel, BSTR* strHelpFile, LONG* lngHelpTopic,
                                BSTR* strServerShortName, SAFEARRAY** strSpecialOptionMenuCaption);
    Status Initialize(BSTR* strCallsign, IDispatch** cMapServerEvents, IDispatch** frmT);
    Status LoadFavouriteViews(SAFEARRAY** strFav);
    Status SafeCall();
    Status SaveFavouriteViews(SAFEARRAY** strL);
    Status ShowControlPanel();
    Status DrawMapFromCentre(IDispatch** picMap, double* dblDegX, double* dblDegY, VARIANT_BOOL* result);
    Status DrawMapFromCorners(IDispatch** picMap, double* dblDegX1, double* dblDegY1, double* dblDegX2,
                              double* dblDegY2, VARIANT_BOOL* result);
    Status ResizeMap(IDispatch** picMap, double* dblDegX1, double* dblDegY1, double* dblDegX2,
                     double* dblDegY2, VARIANT_BOOL* result);
    Status SpecialMenuOption(IDispatch** picMap, SHORT* intIndex, VARIANT_BOOL* result);
    Status ZoomAll(IDispatch** picMap, VARIANT_BOOL* result);
    Status ZoomIn(IDispatch** picMap, VARIANT_BOOL* result);
    Status ZoomOut(IDispatch** picMap, VARIANT_BOOL* result);
    Status ZoomPan(IDispatch** picMap, SHORT* intPan, VARIANT_BOOL* result);

private:
    Status picMapOnly(IDispatch** picMap, VARIANT_BOOL* result,
                      Status (clsMapServ::*request)(ObjectRef&, vb::Boolean&));
    Status picMapAndCorners(IDispatch** picMap, double* x1, double* y1, double* x2, double* y2,
                            VARIANT_BOOL* result,
                            Status (clsMapServ::*request)(ObjectRef&, double&, double&, double&, double&,
                                                          vb::Boolean&));
    Status picMapAndInteger(IDispatch** picMap, SHORT* value, VARIANT_BOOL* result,
                            Status (clsMapServ::*request)(ObjectRef&, std::int16_t&, vb::Boolean&));

    clsMapServ core_;
};

}  // namespace vamu::com
