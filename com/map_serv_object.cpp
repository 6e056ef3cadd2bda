#include "com/map_serv_object.h"

#include "com/dispatch_table.h"
#include "com/error_report.h"
#include "com/map_serv_members.h"
#include "com/type_library.h"

namespace vamu::com {
namespace {

HRESULT report(const Status& status) { return reportStatus(status, IID__clsMapServ); }

}  // namespace

MapServObject::MapServObject(Module& module) : typeInfo_(IID__clsMapServ), requests_(module) {}

HRESULT MapServObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID__clsMapServ)) {
        *object = static_cast<_clsMapServ*>(this);
    } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
        *object = static_cast<ISupportErrorInfo*>(this);
    } else if (IsEqualIID(iid, IID_IProvideClassInfo)) {
        *object = static_cast<IProvideClassInfo*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG MapServObject::AddRef() { return refs_.addRef(); }

ULONG MapServObject::Release() {
    const ULONG left = refs_.release();
    if (left == 0) delete this;
    return left;
}

HRESULT MapServObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT MapServObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) { return typeInfo_.get(index, info); }

HRESULT MapServObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return getIdsOfNames(mapServMembers(), iid, names, count, ids);
}

HRESULT MapServObject::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    return invokeMember(mapServMembers(), static_cast<_clsMapServ*>(this), id, iid, lcid, flags, params,
                        result, excepInfo, argErr);
}

HRESULT MapServObject::get_strServerName(BSTR* value) { return report(requests_.getServerName(value)); }
HRESULT MapServObject::put_strServerName(BSTR value) { return report(requests_.putServerName(value)); }
HRESULT MapServObject::get_strMapName(BSTR* value) { return report(requests_.getMapName(value)); }
HRESULT MapServObject::put_strMapName(BSTR value) { return report(requests_.putMapName(value)); }

HRESULT MapServObject::AddToFavouriteViews(BSTR* strL) { return report(requests_.AddToFavouriteViews(strL)); }

HRESULT MapServObject::GetSupportedFeatures(VARIANT_BOOL* blnDiagonalPan, VARIANT_BOOL* blnZoomIn,
                                            VARIANT_BOOL* blnZoomOut, VARIANT_BOOL* blnZoomAll,
                                            VARIANT_BOOL* blnControlPanel, BSTR* strHelpFile,
                                            LONG* lngHelpTopic, BSTR* strServerShortName,
                                            SAFEARRAY** strSpecialOptionMenuCaption) {
    return report(requests_.GetSupportedFeatures(blnDiagonalPan, blnZoomIn, blnZoomOut, blnZoomAll,
                                                 blnControlPanel, strHelpFile, lngHelpTopic,
                                                 strServerShortName, strSpecialOptionMenuCaption));
}

HRESULT MapServObject::Initialize(BSTR* strCallsign, IDispatch** cMapServerEvents, IDispatch** frmT) {
    return report(requests_.Initialize(strCallsign, cMapServerEvents, frmT));
}

HRESULT MapServObject::LoadFavouriteViews(SAFEARRAY** strFav) {
    return report(requests_.LoadFavouriteViews(strFav));
}

HRESULT MapServObject::SafeCall() { return report(requests_.SafeCall()); }

HRESULT MapServObject::SaveFavouriteViews(SAFEARRAY** strL) {
    return report(requests_.SaveFavouriteViews(strL));
}

HRESULT MapServObject::ShowControlPanel() { return report(requests_.ShowControlPanel()); }

HRESULT MapServObject::DrawMapFromCentre(IDispatch** picMap, double* dblDegX, double* dblDegY,
                                         VARIANT_BOOL* result) {
    return report(requests_.DrawMapFromCentre(picMap, dblDegX, dblDegY, result));
}

HRESULT MapServObject::DrawMapFromCorners(IDispatch** picMap, double* dblDegX1, double* dblDegY1,
                                          double* dblDegX2, double* dblDegY2, VARIANT_BOOL* result) {
    return report(requests_.DrawMapFromCorners(picMap, dblDegX1, dblDegY1, dblDegX2, dblDegY2, result));
}

HRESULT MapServObject::ResizeMap(IDispatch** picMap, double* dblDegX1, double* dblDegY1, double* dblDegX2,
                                 double* dblDegY2, VARIANT_BOOL* result) {
    return report(requests_.ResizeMap(picMap, dblDegX1, dblDegY1, dblDegX2, dblDegY2, result));
}

HRESULT MapServObject::SpecialMenuOption(IDispatch** picMap, short* intIndex, VARIANT_BOOL* result) {
    return report(requests_.SpecialMenuOption(picMap, intIndex, result));
}

HRESULT MapServObject::ZoomAll(IDispatch** picMap, VARIANT_BOOL* result) {
    return report(requests_.ZoomAll(picMap, result));
}

HRESULT MapServObject::ZoomIn(IDispatch** picMap, VARIANT_BOOL* result) {
    return report(requests_.ZoomIn(picMap, result));
}

HRESULT MapServObject::ZoomOut(IDispatch** picMap, VARIANT_BOOL* result) {
    return report(requests_.ZoomOut(picMap, result));
}

HRESULT MapServObject::ZoomPan(IDispatch** picMap, short* intPan, VARIANT_BOOL* result) {
    return report(requests_.ZoomPan(picMap, intPan, result));
}

HRESULT MapServObject::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, IID__clsMapServ) ? S_OK : S_FALSE;
}

HRESULT MapServObject::GetClassInfo(ITypeInfo** info) { return loadTypeInfo(CLSID_clsMapServ, info); }

}  // namespace vamu::com
