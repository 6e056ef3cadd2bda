#include "com/map_server_events_object.h"

#include "com/dispatch_table.h"
#include "com/type_library.h"

namespace vamu::com {
namespace {

constexpr VARTYPE V = VT_BYREF | VT_VARIANT;

Status nothing(IDispatch*, BoundArgs&, VARIANT&) { return {}; }

// Five optional Variants that are taken and left alone.
constexpr DispatchMember signal(const char16_t* name, DISPID id) {
    return {name, id, MemberKind::Method, {V, V, V, V, V}, 5, 0, VT_EMPTY, nothing, nullptr};
}

constexpr DispatchMember kMembers[] = {
    signal(u"SignalCallsignData", 0x60030000),
    signal(u"SignalInformation", 0x60030001),
    signal(u"SignalSpecialRedraw", 0x60030002),
    signal(u"SignalSuspend", 0x60030003),
};

}  // namespace

std::span<const DispatchMember> mapServerEventsMembers() noexcept { return kMembers; }

void* MapServerEventsObject::interfaceFor(REFIID iid) noexcept {
    auto* events = static_cast<_clsMapServerEvents*>(this);
    return interfaceIn({{IID_IUnknown, events},
                        {IID_IDispatch, events},
                        {IID__clsMapServerEvents, events},
                        {IID_IProvideClassInfo, static_cast<IProvideClassInfo*>(this)}},
                       iid);
}

HRESULT MapServerEventsObject::GetTypeInfoCount(UINT* count) noexcept { return typeInfoCount(count); }

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
