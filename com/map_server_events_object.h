#pragma once
// The COM object of the class clsMapServerEvents: the shape of the host's
// events interface, four methods that take up to five VARIANTs and do
// nothing.

#include <windows.h>
#include <ocidl.h>

#include "com/com_object.h"
#include "vamuMapserver.h"

namespace vamu::com {

class MapServerEventsObject final : public _clsMapServerEvents, public IProvideClassInfo {
public:
    MapServerEventsObject();

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

    // _clsMapServerEvents
    HRESULT STDMETHODCALLTYPE SignalCallsignData(VARIANT* A, VARIANT* B, VARIANT* C, VARIANT* D,
                                                 VARIANT* E) override;
    HRESULT STDMETHODCALLTYPE SignalInformation(VARIANT* A, VARIANT* B, VARIANT* C, VARIANT* D,
                                                VARIANT* E) override;
    HRESULT STDMETHODCALLTYPE SignalSpecialRedraw(VARIANT* A, VARIANT* B, VARIANT* C, VARIANT* D,
                                                  VARIANT* E) override;
    HRESULT STDMETHODCALLTYPE SignalSuspend(VARIANT* A, VARIANT* B, VARIANT* C, VARIANT* D,
                                            VARIANT* E) override;

    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;

private:
    ~MapServerEventsObject() = default;

    ObjectCount live_;
    RefCount refs_;
    TypeInfoCache typeInfo_;
};

}  // namespace vamu::com
