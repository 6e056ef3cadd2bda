#include "com/map_server_events_object.h"

#include "com/request_member.h"
#include "com/type_library.h"

namespace vamu::com {

std::span<const DispatchMember> mapServerEventsMembers() noexcept {
    static const DispatchMember members[] = {
        member<&EventSignals::ignore>(u"SignalCallsignData", 0x60030000),
        member<&EventSignals::ignore>(u"SignalInformation", 0x60030001),
        member<&EventSignals::ignore>(u"SignalSpecialRedraw", 0x60030002),
        member<&EventSignals::ignore>(u"SignalSuspend", 0x60030003),
    };
    return members;
}

MapServerEventsObject::MapServerEventsObject()
    : dual_(IID__clsMapServerEvents, mapServerEventsMembers(), *this) {}

HRESULT MapServerEventsObject::QueryInterface(REFIID iid, void** object) noexcept {
    IUnknown* const classInfo = static_cast<IProvideClassInfo*>(this);
    return win::queryInterface(iid, object,
                               {{&IID_IUnknown, dual()},
                                {&IID_IDispatch, dual()},
                                {&IID__clsMapServerEvents, dual()},
                                {&IID_IProvideClassInfo, classInfo}});
}

HRESULT MapServerEventsObject::GetClassInfo(ITypeInfo** info) noexcept {
    return typeInfoOf(CLSID_clsMapServerEvents, info);
}

}  // namespace vamu::com
