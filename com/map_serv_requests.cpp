#include "com/map_serv_requests.h"

namespace vamu::com {

Status MapServRequests::AddToFavouriteViews(StringInOut& strL) {
    return core_.AddToFavouriteViews(strL.value);
}

Status MapServRequests::GetSupportedFeatures(BooleanInOut& blnDiagonalPan, BooleanInOut& blnZoomIn,
                                             BooleanInOut& blnZoomOut, BooleanInOut& blnZoomAll,
                                             BooleanInOut& blnControlPanel, StringInOut& strHelpFile,
                                             LongInOut& lngHelpTopic, StringInOut& strServerShortName,
                                             StringArrayOut& strSpecialOptionMenuCaption) {
    return core_.GetSupportedFeatures(
        blnDiagonalPan.value, blnZoomIn.value, blnZoomOut.value, blnZoomAll.value, blnControlPanel.value,
        strHelpFile.value, lngHelpTopic.value, strServerShortName.value, strSpecialOptionMenuCaption.value);
}

Status MapServRequests::Initialize(StringInOut& strCallsign, ObjectInOut& cMapServerEvents,
                                   ObjectInOut& frmT) {
    return core_.Initialize(strCallsign.value, cMapServerEvents.value, frmT.value);
}

Status MapServRequests::LoadFavouriteViews(StringArrayInOut& strFav) {
    return core_.LoadFavouriteViews(strFav.value);
}

Status MapServRequests::SafeCall() { return core_.SafeCall(); }

Status MapServRequests::SaveFavouriteViews(StringArrayInOut& strL) {
    return core_.SaveFavouriteViews(strL.value);
}

Status MapServRequests::ShowControlPanel() { return core_.ShowControlPanel(); }

Status MapServRequests::DrawMapFromCentre(ObjectInOut& picMap, DoubleInOut& dblDegX, DoubleInOut& dblDegY,
                                          BooleanResult& result) {
    return core_.DrawMapFromCentre(picMap.value, dblDegX.value, dblDegY.value, result.value);
}

Status MapServRequests::DrawMapFromCorners(ObjectInOut& picMap, DoubleInOut& dblDegX1, DoubleInOut& dblDegY1,
                                           DoubleInOut& dblDegX2, DoubleInOut& dblDegY2,
                                           BooleanResult& result) {
    return core_.DrawMapFromCorners(picMap.value, dblDegX1.value, dblDegY1.value, dblDegX2.value,
                                    dblDegY2.value, result.value);
}

Status MapServRequests::ResizeMap(ObjectInOut& picMap, DoubleInOut& dblDegX1, DoubleInOut& dblDegY1,
                                  DoubleInOut& dblDegX2, DoubleInOut& dblDegY2, BooleanResult& result) {
    return core_.ResizeMap(picMap.value, dblDegX1.value, dblDegY1.value, dblDegX2.value, dblDegY2.value,
                           result.value);
}

Status MapServRequests::SpecialMenuOption(ObjectInOut& picMap, IntegerInOut& intIndex,
                                          BooleanResult& result) {
    return core_.SpecialMenuOption(picMap.value, intIndex.value, result.value);
}

Status MapServRequests::ZoomAll(ObjectInOut& picMap, BooleanResult& result) {
    return core_.ZoomAll(picMap.value, result.value);
}

Status MapServRequests::ZoomIn(ObjectInOut& picMap, BooleanResult& result) {
    return core_.ZoomIn(picMap.value, result.value);
}

Status MapServRequests::ZoomOut(ObjectInOut& picMap, BooleanResult& result) {
    return core_.ZoomOut(picMap.value, result.value);
}

Status MapServRequests::ZoomPan(ObjectInOut& picMap, IntegerInOut& intPan, BooleanResult& result) {
    return core_.ZoomPan(picMap.value, intPan.value, result.value);
}

}  // namespace vamu::com
