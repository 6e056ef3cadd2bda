#pragma once
// The COM object of the class clsMapServ: the dual interface _clsMapServ,
// ISupportErrorInfo and IProvideClassInfo over one core object.

#include <windows.h>
#include <ocidl.h>

#include "com/com_object.h"
#include "com/map_serv_requests.h"
#include "vamuMapserver.h"

namespace vamu::com {

class MapServObject final : public _clsMapServ, public ISupportErrorInfo, public IProvideClassInfo {
public:
    explicit MapServObject(Module& module);

    MapServRequests& requests() noexcept { return requests_; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

    // _clsMapServ
    HRESULT STDMETHODCALLTYPE get_strServerName(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_strServerName(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_strMapName(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_strMapName(BSTR value) override;
    HRESULT STDMETHODCALLTYPE AddToFavouriteViews(BSTR* strL) override;
    HRESULT STDMETHODCALLTYPE GetSupportedFeatures(VARIANT_BOOL* blnDiagonalPan, VARIANT_BOOL* blnZoomIn,
                                                   VARIANT_BOOL* blnZoomOut, VARIANT_BOOL* blnZoomAll,
                                                   VARIANT_BOOL* blnControlPanel, BSTR* strHelpFile,
                                                   LONG* lngHelpTopic, BSTR* strServerShortName,
                                                   SAFEARRAY** strSpecialOptionMenuCaption) override;
    HRESULT STDMETHODCALLTYPE Initialize(BSTR* strCallsign, IDispatch** cMapServerEvents,
                                         IDispatch** frmT) override;
    HRESULT STDMETHODCALLTYPE LoadFavouriteViews(SAFEARRAY** strFav) override;
    HRESULT STDMETHODCALLTYPE SafeCall() override;
    HRESULT STDMETHODCALLTYPE SaveFavouriteViews(SAFEARRAY** strL) override;
    HRESULT STDMETHODCALLTYPE ShowControlPanel() override;
    HRESULT STDMETHODCALLTYPE DrawMapFromCentre(IDispatch** picMap, double* dblDegX, double* dblDegY,
                                                VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE DrawMapFromCorners(IDispatch** picMap, double* dblDegX1, double* dblDegY1,
                                                 double* dblDegX2, double* dblDegY2,
                                                 VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE ResizeMap(IDispatch** picMap, double* dblDegX1, double* dblDegY1,
                                        double* dblDegX2, double* dblDegY2, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE SpecialMenuOption(IDispatch** picMap, short* intIndex,
                                                VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE ZoomAll(IDispatch** picMap, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE ZoomIn(IDispatch** picMap, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE ZoomOut(IDispatch** picMap, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE ZoomPan(IDispatch** picMap, short* intPan, VARIANT_BOOL* result) override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;

private:
    ~MapServObject() = default;

    ObjectCount live_;
    RefCount refs_;
    TypeInfoCache typeInfo_;
    MapServRequests requests_;
};

}  // namespace vamu::com
