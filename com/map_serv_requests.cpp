#include "com/map_serv_requests.h"

#include "com/inout_args.h"
#include "win/platform/bstr.h"

namespace vamu::com {
namespace {

// A plain property read: the caller's out slot receives a new string.
Status readProperty(BSTR* slot, const std::u16string& value) {
    return guarded([&] {
        if (!slot) throwNullArgument();
        *slot = win::Bstr(value).detach();
    });
}

}  // namespace

Status MapServRequests::getServerName(BSTR* value) { return readProperty(value, core_.strServerName()); }
Status MapServRequests::getMapName(BSTR* value) { return readProperty(value, core_.strMapName()); }

Status MapServRequests::putServerName(BSTR value) {
    return guarded([&] { core_.setStrServerName(win::fromBstr(value)); });
}

Status MapServRequests::putMapName(BSTR value) {
    return guarded([&] { core_.setStrMapName(win::fromBstr(value)); });
}

Status MapServRequests::AddToFavouriteViews(BSTR* strL) {
    return guarded([&] {
        StringInOut l(strL);
        commitAndCheck(core_.AddToFavouriteViews(l.value), l);
    });
}

Status MapServRequests::GetSupportedFeatures(VARIANT_BOOL* blnDiagonalPan, VARIANT_BOOL* blnZoomIn,
                                             VARIANT_BOOL* blnZoomOut, VARIANT_BOOL* blnZoomAll,
                                             VARIANT_BOOL* blnControlPanel, BSTR* strHelpFile,
                                             LONG* lngHelpTopic, BSTR* strServerShortName,
                                             SAFEARRAY** strSpecialOptionMenuCaption) {
    return guarded([&] {
        BooleanInOut diagonal(blnDiagonalPan), zoomIn(blnZoomIn), zoomOut(blnZoomOut), zoomAll(blnZoomAll),
            panel(blnControlPanel);
        StringInOut helpFile(strHelpFile);
        LongInOut helpTopic(lngHelpTopic);
        StringInOut shortName(strServerShortName);
        StringArrayInOut captions(strSpecialOptionMenuCaption, StringArrayInOut::Use::Output);
        const Status status = core_.GetSupportedFeatures(diagonal.value, zoomIn.value, zoomOut.value,
                                                         zoomAll.value, panel.value, helpFile.value,
                                                         helpTopic.value, shortName.value, captions.value);
        commitAndCheck(status, diagonal, zoomIn, zoomOut, zoomAll, panel, helpFile, helpTopic, shortName,
                       captions);
    });
}

Status MapServRequests::Initialize(BSTR* strCallsign, IDispatch** cMapServerEvents, IDispatch** frmT) {
    return guarded([&] {
        StringInOut callsign(strCallsign);
        ObjectInOut events(cMapServerEvents), form(frmT);
        commitAndCheck(core_.Initialize(callsign.value, events.value, form.value), callsign, events, form);
    });
}

Status MapServRequests::LoadFavouriteViews(SAFEARRAY** strFav) {
    return guarded([&] {
        StringArrayInOut fav(strFav);
        commitAndCheck(core_.LoadFavouriteViews(fav.value), fav);
    });
}

Status MapServRequests::SaveFavouriteViews(SAFEARRAY** strL) {
    return guarded([&] {
        StringArrayInOut l(strL);
        commitAndCheck(core_.SaveFavouriteViews(l.value), l);
    });
}

Status MapServRequests::SafeCall() { return core_.SafeCall(); }
Status MapServRequests::ShowControlPanel() { return core_.ShowControlPanel(); }

Status MapServRequests::DrawMapFromCentre(IDispatch** picMap, double* dblDegX, double* dblDegY,
                                          VARIANT_BOOL* result) {
    return guarded([&] {
        ObjectInOut pic(picMap);
        DoubleInOut x(dblDegX), y(dblDegY);
        BooleanResult r(result);
        commitAndCheck(core_.DrawMapFromCentre(pic.value, x.value, y.value, r.value), pic, x, y, r);
    });
}

Status MapServRequests::DrawMapFromCorners(IDispatch** picMap, double* dblDegX1, double* dblDegY1,
                                           double* dblDegX2, double* dblDegY2, VARIANT_BOOL* result) {
    return picMapAndCorners(picMap, dblDegX1, dblDegY1, dblDegX2, dblDegY2, result,
                            &clsMapServ::DrawMapFromCorners);
}

Status MapServRequests::ResizeMap(IDispatch** picMap, double* dblDegX1, double* dblDegY1, double* dblDegX2,
                                  double* dblDegY2, VARIANT_BOOL* result) {
    return picMapAndCorners(picMap, dblDegX1, dblDegY1, dblDegX2, dblDegY2, result, &clsMapServ::ResizeMap);
}

Status MapServRequests::SpecialMenuOption(IDispatch** picMap, SHORT* intIndex, VARIANT_BOOL* result) {
    return picMapAndInteger(picMap, intIndex, result, &clsMapServ::SpecialMenuOption);
}

Status MapServRequests::ZoomPan(IDispatch** picMap, SHORT* intPan, VARIANT_BOOL* result) {
    return picMapAndInteger(picMap, intPan, result, &clsMapServ::ZoomPan);
}

Status MapServRequests::ZoomAll(IDispatch** picMap, VARIANT_BOOL* result) {
    return picMapOnly(picMap, result, &clsMapServ::ZoomAll);
}

Status MapServRequests::ZoomIn(IDispatch** picMap, VARIANT_BOOL* result) {
    return picMapOnly(picMap, result, &clsMapServ::ZoomIn);
}

Status MapServRequests::ZoomOut(IDispatch** picMap, VARIANT_BOOL* result) {
    return picMapOnly(picMap, result, &clsMapServ::ZoomOut);
}

Status MapServRequests::picMapOnly(IDispatch** picMap, VARIANT_BOOL* result,
                                   Status (clsMapServ::*request)(ObjectRef&, vb::Boolean&)) {
    return guarded([&] {
        ObjectInOut pic(picMap);
        BooleanResult r(result);
        commitAndCheck((core_.*request)(pic.value, r.value), pic, r);
    });
}

Status MapServRequests::picMapAndCorners(IDispatch** picMap, double* x1, double* y1, double* x2, double* y2,
                                         VARIANT_BOOL* result,
                                         Status (clsMapServ::*request)(ObjectRef&, double&, double&, double&,
                                                                       double&, vb::Boolean&)) {
    return guarded([&] {
        ObjectInOut pic(picMap);
        DoubleInOut dx1(x1), dy1(y1), dx2(x2), dy2(y2);
        BooleanResult r(result);
        const Status status =
            (core_.*request)(pic.value, dx1.value, dy1.value, dx2.value, dy2.value, r.value);
        commitAndCheck(status, pic, dx1, dy1, dx2, dy2, r);
    });
}

Status MapServRequests::picMapAndInteger(IDispatch** picMap, SHORT* value, VARIANT_BOOL* result,
                                         Status (clsMapServ::*request)(ObjectRef&, std::int16_t&,
                                                                       vb::Boolean&)) {
    return guarded([&] {
        ObjectInOut pic(picMap);
        IntegerInOut number(value);
        BooleanResult r(result);
        commitAndCheck((core_.*request)(pic.value, number.value, r.value), pic, number, r);
    });
}

}  // namespace vamu::com
