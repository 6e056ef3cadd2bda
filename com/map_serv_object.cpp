#include "com/map_serv_object.h"

#include "com/dispatch_table.h"
#include "com/error_report.h"
#include "com/map_serv_members.h"
#include "com/type_library.h"

namespace vamu::com {
namespace {}  // namespace

template <class Request>
HRESULT MapServObject::call(Request&& request) noexcept {
    return atBoundary(IID__clsMapServ, [&] { return reportStatus(request(), IID__clsMapServ); });
}

MapServObject::MapServObject(Module& module) : requests_(module) {}

HRESULT MapServObject::QueryInterface(REFIID iid, void** object) noexcept {
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

ULONG MapServObject::AddRef() noexcept { return refs_.addRef(); }

ULONG MapServObject::Release() noexcept {
    const ULONG left = refs_.release();
    if (left == 0) delete this;
    return left;
}

HRESULT MapServObject::GetTypeInfoCount(UINT* count) noexcept {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT MapServObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept {
    return typeInfoAt(IID__clsMapServ, index, info);
}

HRESULT MapServObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept {
    return getIdsOfNames(mapServMembers(), iid, names, count, ids);
}

// Our own Invoke rather than ITypeInfo::Invoke, for VB's coercion and
// write-back of by-reference arguments: see dispatch_table.h.
HRESULT MapServObject::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) noexcept {
    return invokeMember(mapServMembers(), static_cast<_clsMapServ*>(this), id, iid, lcid, flags, params,
                        result, excepInfo, argErr);
}

HRESULT MapServObject::get_strServerName(BSTR* value) noexcept {
    return call([&] { return requests().getServerName(value); });
}
HRESULT MapServObject::put_strServerName(BSTR value) noexcept {
    return call([&] { return requests().putServerName(value); });
}
HRESULT MapServObject::get_strMapName(BSTR* value) noexcept {
    return call([&] { return requests().getMapName(value); });
}
HRESULT MapServObject::put_strMapName(BSTR value) noexcept {
    return call([&] { return requests().putMapName(value); });
}

HRESULT MapServObject::AddToFavouriteViews(BSTR* strL) noexcept {
    return call([&] { return requests().AddToFavouriteViews(strL); });
}

HRESULT MapServObject::GetSupportedFeatures(VARIANT_BOOL* blnDiagonalPan, VARIANT_BOOL* blnZoomIn,
                                            VARIANT_BOOL* blnZoomOut, VARIANT_BOOL* blnZoomAll,
                                            VARIANT_BOOL* blnControlPanel, BSTR* strHelpFile,
                                            LONG* lngHelpTopic, BSTR* strServerShortName,
                                            SAFEARRAY** strSpecialOptionMenuCaption) noexcept {
    return call([&] {
        return requests().GetSupportedFeatures(blnDiagonalPan, blnZoomIn, blnZoomOut, blnZoomAll,
                                               blnControlPanel, strHelpFile, lngHelpTopic, strServerShortName,
                                               strSpecialOptionMenuCaption);
    });
}

HRESULT MapServObject::Initialize(BSTR* strCallsign, IDispatch** cMapServerEvents,
                                  IDispatch** frmT) noexcept {
    return call([&] { return requests().Initialize(strCallsign, cMapServerEvents, frmT); });
}

HRESULT MapServObject::LoadFavouriteViews(SAFEARRAY** strFav) noexcept {
    return call([&] { return requests().LoadFavouriteViews(strFav); });
}

HRESULT MapServObject::SafeCall() noexcept {
    return call([&] { return requests().SafeCall(); });
}

HRESULT MapServObject::SaveFavouriteViews(SAFEARRAY** strL) noexcept {
    return call([&] { return requests().SaveFavouriteViews(strL); });
}

HRESULT MapServObject::ShowControlPanel() noexcept {
    return call([&] { return requests().ShowControlPanel(); });
}

HRESULT MapServObject::DrawMapFromCentre(IDispatch** picMap, double* dblDegX, double* dblDegY,
                                         VARIANT_BOOL* result) noexcept {
    return call([&] { return requests().DrawMapFromCentre(picMap, dblDegX, dblDegY, result); });
}

HRESULT MapServObject::DrawMapFromCorners(IDispatch** picMap, double* dblDegX1, double* dblDegY1,
                                          double* dblDegX2, double* dblDegY2, VARIANT_BOOL* result) noexcept {
    return call([&] {
        return requests().DrawMapFromCorners(picMap, dblDegX1, dblDegY1, dblDegX2, dblDegY2, result);
    });
}

HRESULT MapServObject::ResizeMap(IDispatch** picMap, double* dblDegX1, double* dblDegY1, double* dblDegX2,
                                 double* dblDegY2, VARIANT_BOOL* result) noexcept {
    return call([&] { return requests().ResizeMap(picMap, dblDegX1, dblDegY1, dblDegX2, dblDegY2, result); });
}

HRESULT MapServObject::SpecialMenuOption(IDispatch** picMap, short* intIndex, VARIANT_BOOL* result) noexcept {
    return call([&] { return requests().SpecialMenuOption(picMap, intIndex, result); });
}

HRESULT MapServObject::ZoomAll(IDispatch** picMap, VARIANT_BOOL* result) noexcept {
    return call([&] { return requests().ZoomAll(picMap, result); });
}

HRESULT MapServObject::ZoomIn(IDispatch** picMap, VARIANT_BOOL* result) noexcept {
    return call([&] { return requests().ZoomIn(picMap, result); });
}

HRESULT MapServObject::ZoomOut(IDispatch** picMap, VARIANT_BOOL* result) noexcept {
    return call([&] { return requests().ZoomOut(picMap, result); });
}

HRESULT MapServObject::ZoomPan(IDispatch** picMap, short* intPan, VARIANT_BOOL* result) noexcept {
    return call([&] { return requests().ZoomPan(picMap, intPan, result); });
}

HRESULT MapServObject::InterfaceSupportsErrorInfo(REFIID iid) noexcept {
    return IsEqualIID(iid, IID__clsMapServ) ? S_OK : S_FALSE;
}

HRESULT MapServObject::GetClassInfo(ITypeInfo** info) noexcept { return typeInfoOf(CLSID_clsMapServ, info); }

}  // namespace vamu::com
