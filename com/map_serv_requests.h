#pragma once
// The requests of clsMapServ, one function per member of the dual interface
// _clsMapServ: its parameters are the holders of the member's parameters in
// declaration order (inout_args.h), the [out, retval] last. The function
// runs the core's request on the holders' values (one that cannot fail
// returns nothing); reading the caller's variables and storing them back,
// the vtable method and the dispatch entry are made from the function by
// the member's row (map_serv_members.cpp).

#include "com/inout_args.h"
#include "engine/status.h"
#include "server/cls_map_serv.h"

namespace vamu::com {

class MapServRequests {
public:
    explicit MapServRequests(Module& module) : core_(module) {}

    void getServerName(StringResult& strServerName) { strServerName.value = core_.strServerName(); }
    void putServerName(StringIn& strServerName) { core_.setStrServerName(strServerName.value); }
    void getMapName(StringResult& strMapName) { strMapName.value = core_.strMapName(); }
    void putMapName(StringIn& strMapName) { core_.setStrMapName(strMapName.value); }

    Status AddToFavouriteViews(StringInOut& strL);
    Status GetSupportedFeatures(BooleanInOut& blnDiagonalPan, BooleanInOut& blnZoomIn,
                                BooleanInOut& blnZoomOut, BooleanInOut& blnZoomAll,
                                BooleanInOut& blnControlPanel, StringInOut& strHelpFile,
                                LongInOut& lngHelpTopic, StringInOut& strServerShortName,
                                StringArrayOut& strSpecialOptionMenuCaption);
    Status Initialize(StringInOut& strCallsign, ObjectInOut& cMapServerEvents, ObjectInOut& frmT);
    Status LoadFavouriteViews(StringArrayInOut& strFav);
    Status SafeCall();
    Status SaveFavouriteViews(StringArrayInOut& strL);
    Status ShowControlPanel();
    Status DrawMapFromCentre(ObjectInOut& picMap, DoubleInOut& dblDegX, DoubleInOut& dblDegY,
                             BooleanResult& result);
    Status DrawMapFromCorners(ObjectInOut& picMap, DoubleInOut& dblDegX1, DoubleInOut& dblDegY1,
                              DoubleInOut& dblDegX2, DoubleInOut& dblDegY2, BooleanResult& result);
    Status ResizeMap(ObjectInOut& picMap, DoubleInOut& dblDegX1, DoubleInOut& dblDegY1, DoubleInOut& dblDegX2,
                     DoubleInOut& dblDegY2, BooleanResult& result);
    Status SpecialMenuOption(ObjectInOut& picMap, IntegerInOut& intIndex, BooleanResult& result);
    Status ZoomAll(ObjectInOut& picMap, BooleanResult& result);
    Status ZoomIn(ObjectInOut& picMap, BooleanResult& result);
    Status ZoomOut(ObjectInOut& picMap, BooleanResult& result);
    Status ZoomPan(ObjectInOut& picMap, IntegerInOut& intPan, BooleanResult& result);

private:
    clsMapServ core_;
};

}  // namespace vamu::com
