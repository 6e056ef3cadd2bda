#include "com/map_server_events_object.h"

#include "com/dispatch_table.h"
#include "com/type_library.h"

namespace vamu::com {
namespace {

constexpr VARTYPE V = VT_VARIANT;

Status nothing(IDispatch*, BoundArgs&, VARIANT&) { return {}; }

const DispatchMember kMembers[] = {
    {u"SignalCallsignData", 0x60030000, MemberKind::Method, {V, V, V, V, V}, 5, 0, nothing},
    {u"SignalInformation", 0x60030001, MemberKind::Method, {V, V, V, V, V}, 5, 0, nothing},
    {u"SignalSpecialRedraw", 0x60030002, MemberKind::Method, {V, V, V, V, V}, 5, 0, nothing},
    {u"SignalSuspend", 0x60030003, MemberKind::Method, {V, V, V, V, V}, 5, 0, nothing},
};

}  // namespace

MapServerEventsObject::MapServerEventsObject() : typeInfo_(IID__clsMapServerEvents) {}

HRESULT MapServerEventsObject::QueryInterface(REFIID iid, void** object) {
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

ULONG MapServerEventsObject::AddRef() { return refs_.addRef(); }

ULONG MapServerEventsObject::Release() {
    const ULONG left = refs_.release();
    if (left == 0) delete this;
    return left;
}

HRESULT MapServerEventsObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT MapServerEventsObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    return typeInfo_.get(index, info);
}

HRESULT MapServerEventsObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return getIdsOfNames(kMembers, iid, names, count, ids);
}

HRESULT MapServerEventsObject::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                      VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    return invokeMember(kMembers, static_cast<_clsMapServerEvents*>(this), id, iid, lcid, flags, params,
                        result, excepInfo, argErr);
}

HRESULT MapServerEventsObject::SignalCallsignData(VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    return S_OK;
}
HRESULT MapServerEventsObject::SignalInformation(VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    return S_OK;
}
HRESULT MapServerEventsObject::SignalSpecialRedraw(VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    return S_OK;
}
HRESULT MapServerEventsObject::SignalSuspend(VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    return S_OK;
}

HRESULT MapServerEventsObject::GetClassInfo(ITypeInfo** info) {
    return loadTypeInfo(CLSID_clsMapServerEvents, info);
}

}  // namespace vamu::com
