#include "com/map_server_events_object.h"

#include "com/dispatch_table.h"
#include "com/type_library.h"

namespace vamu::com {
namespace {

constexpr VARTYPE V = VT_BYREF | VT_VARIANT;

Status nothing(IDispatch*, BoundArgs&, VARIANT&) { return {}; }

const DispatchMember kMembers[] = {
    {u"SignalCallsignData", 0x60030000, MemberKind::Method, {V, V, V, V, V}, 5, 0, VT_EMPTY, nothing},
    {u"SignalInformation", 0x60030001, MemberKind::Method, {V, V, V, V, V}, 5, 0, VT_EMPTY, nothing},
    {u"SignalSpecialRedraw", 0x60030002, MemberKind::Method, {V, V, V, V, V}, 5, 0, VT_EMPTY, nothing},
    {u"SignalSuspend", 0x60030003, MemberKind::Method, {V, V, V, V, V}, 5, 0, VT_EMPTY, nothing},
};

}  // namespace

HRESULT MapServerEventsObject::QueryInterface(REFIID iid, void** object) noexcept {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, IID__clsMapServerEvents)) {
        *object = static_cast<_clsMapServerEvents*>(this);
    } else if (IsEqualIID(iid, IID_IProvideClassInfo)) {
        *object = static_cast<IProvideClassInfo*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG MapServerEventsObject::AddRef() noexcept { return refs_.addRef(); }

ULONG MapServerEventsObject::Release() noexcept {
    const ULONG left = refs_.release();
    if (left == 0) delete this;
    return left;
}

HRESULT MapServerEventsObject::GetTypeInfoCount(UINT* count) noexcept {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT MapServerEventsObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept {
    return typeInfoAt(IID__clsMapServerEvents, index, info);
}

HRESULT MapServerEventsObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                             DISPID* ids) noexcept {
    return getIdsOfNames(kMembers, iid, names, count, ids);
}

HRESULT MapServerEventsObject::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                      VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) noexcept {
    return invokeMember(kMembers, static_cast<_clsMapServerEvents*>(this), id, iid, lcid, flags, params,
                        result, excepInfo, argErr);
}

HRESULT MapServerEventsObject::SignalCallsignData(VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*) noexcept {
    return S_OK;
}
HRESULT MapServerEventsObject::SignalInformation(VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*) noexcept {
    return S_OK;
}
HRESULT MapServerEventsObject::SignalSpecialRedraw(VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                                   VARIANT*) noexcept {
    return S_OK;
}
HRESULT MapServerEventsObject::SignalSuspend(VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*) noexcept {
    return S_OK;
}

HRESULT MapServerEventsObject::GetClassInfo(ITypeInfo** info) noexcept {
    return typeInfoOf(CLSID_clsMapServerEvents, info);
}

}  // namespace vamu::com
