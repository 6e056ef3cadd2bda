#pragma once
// The COM object of the class clsMapServ: the dual interface _clsMapServ,
// ISupportErrorInfo and IProvideClassInfo over one core object. Every method
// is noexcept and runs its body through atBoundary (error_report.h): no
// exception leaves the object, a failure is an HRESULT with error info.

#include <windows.h>
#include <ocidl.h>

#include "com/com_object.h"
#include "com/map_serv_requests.h"
#include "vamuMapserver.h"

namespace vamu::com {

class MapServObject : public _clsMapServ, public ISupportErrorInfo, public IProvideClassInfo {
public:
    explicit MapServObject(Module& module);

    // Every member reaches the core through here; tests replace it with one
    // that throws, to show that nothing leaves the COM boundary.
    virtual MapServRequests& requests() { return requests_; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) noexcept override;

    // _clsMapServ
    HRESULT STDMETHODCALLTYPE get_strServerName(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_strServerName(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_strMapName(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_strMapName(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE AddToFavouriteViews(BSTR* strL) noexcept override;
    HRESULT STDMETHODCALLTYPE GetSupportedFeatures(VARIANT_BOOL* blnDiagonalPan, VARIANT_BOOL* blnZoomIn,
                                                   VARIANT_BOOL* blnZoomOut, VARIANT_BOOL* blnZoomAll,
                                                   VARIANT_BOOL* blnControlPanel, BSTR* strHelpFile,
                                                   LONG* lngHelpTopic, BSTR* strServerShortName,
                                                   SAFEARRAY** strSpecialOptionMenuCaption) noexcept override;
    HRESULT STDMETHODCALLTYPE Initialize(BSTR* strCallsign, IDispatch** cMapServerEvents,
                                         IDispatch** frmT) noexcept override;
    HRESULT STDMETHODCALLTYPE LoadFavouriteViews(SAFEARRAY** strFav) noexcept override;
    HRESULT STDMETHODCALLTYPE SafeCall() noexcept override;
    HRESULT STDMETHODCALLTYPE SaveFavouriteViews(SAFEARRAY** strL) noexcept override;
    HRESULT STDMETHODCALLTYPE ShowControlPanel() noexcept override;
    HRESULT STDMETHODCALLTYPE DrawMapFromCentre(IDispatch** picMap, double* dblDegX, double* dblDegY,
                                                VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE DrawMapFromCorners(IDispatch** picMap, double* dblDegX1, double* dblDegY1,
                                                 double* dblDegX2, double* dblDegY2,
                                                 VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE ResizeMap(IDispatch** picMap, double* dblDegX1, double* dblDegY1,
                                        double* dblDegX2, double* dblDegY2,
                                        VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE SpecialMenuOption(IDispatch** picMap, short* intIndex,
                                                VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE ZoomAll(IDispatch** picMap, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE ZoomIn(IDispatch** picMap, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE ZoomOut(IDispatch** picMap, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE ZoomPan(IDispatch** picMap, short* intPan,
                                      VARIANT_BOOL* result) noexcept override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) noexcept override;

    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) noexcept override;

protected:
    virtual ~MapServObject() = default;

private:
    // The request's HRESULT, with error info on failure; whatever escapes
    // the request becomes E_UNEXPECTED.
    template <class Request>
    HRESULT call(Request&& request) noexcept;

    ObjectCount live_;
    RefCount refs_;
    MapServRequests requests_;
};

}  // namespace vamu::com
