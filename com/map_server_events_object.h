#pragma once
// The COM object of the class clsMapServerEvents: the shape of the host's
// events interface, four methods that take up to five VARIANTs and do
// nothing.

#include <windows.h>
#include <ocidl.h>

#include <span>

#include "com/com_object.h"
#include "com/dispatch_table.h"
#include "vamuMapserver.h"

namespace vamu::com {

// The dispatch table of _clsMapServerEvents, in the order of the IDL.
std::span<const DispatchMember> mapServerEventsMembers() noexcept;

class MapServerEventsObject final : public ComObject<_clsMapServerEvents, IProvideClassInfo> {
public:
    MapServerEventsObject() = default;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) noexcept override;

    // _clsMapServerEvents
    HRESULT STDMETHODCALLTYPE SignalCallsignData(VARIANT* A, VARIANT* B, VARIANT* C, VARIANT* D,
                                                 VARIANT* E) noexcept override;
    HRESULT STDMETHODCALLTYPE SignalInformation(VARIANT* A, VARIANT* B, VARIANT* C, VARIANT* D,
                                                VARIANT* E) noexcept override;
    HRESULT STDMETHODCALLTYPE SignalSpecialRedraw(VARIANT* A, VARIANT* B, VARIANT* C, VARIANT* D,
                                                  VARIANT* E) noexcept override;
    HRESULT STDMETHODCALLTYPE SignalSuspend(VARIANT* A, VARIANT* B, VARIANT* C, VARIANT* D,
                                            VARIANT* E) noexcept override;

    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) noexcept override;

private:
    ~MapServerEventsObject() override = default;
    void* interfaceFor(REFIID iid) noexcept override;
};

}  // namespace vamu::com
