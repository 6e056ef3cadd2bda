#include "com/class_factory.h"

#include <new>
#include <span>
#include <string>

#include "com/apartment.h"
#include "com/map_serv_object.h"
#include "com/map_server_events_object.h"
#include "com/error_report.h"
#include "com/map_serv_members.h"
#include "com/member_check.h"
#include "com/type_library.h"
#include "win/platform/com_ptr.h"

namespace vamu::com {
namespace {

// A class's dispatch table against the type library: the first
// difference, empty when they agree.
std::u16string tableDifference(REFIID iid, std::span<const DispatchMember> members) {
    win::ComPtr<ITypeInfo> info;
    const HRESULT hr = typeInfoOf(iid, info.put());
    return FAILED(hr) ? std::u16string(u"the type library cannot be read")
                      : differenceFromType(members, info.get());
}

// A table that disagrees with the IDL would answer calls wrongly, so no
// object is made and the difference is the error's text.
HRESULT refuse(const char16_t* className, const std::u16string& difference) {
    return reportToCaller(RuntimeError::foreign(static_cast<std::uint32_t>(E_UNEXPECTED),
                                                u"The dispatch table of " + std::u16string(className) +
                                                    u" disagrees with the type library: " + difference),
                          IID_IClassFactory);
}

// Each table is checked once per process, before its first object.
HRESULT makeMapServ(IUnknown** object) {
    static const std::u16string difference = tableDifference(IID__clsMapServ, mapServMembers());
    if (!difference.empty()) return refuse(u"clsMapServ", difference);
    *object = (new MapServObject(apartmentModule()))->dual();
    return S_OK;
}

HRESULT makeMapServerEvents(IUnknown** object) {
    static const std::u16string difference =
        tableDifference(IID__clsMapServerEvents, mapServerEventsMembers());
    if (!difference.empty()) return refuse(u"clsMapServerEvents", difference);
    *object = (new MapServerEventsObject())->dual();
    return S_OK;
}

// Hands the caller the interface it asked for and drops the creator's
// reference.
HRESULT handOver(IUnknown* made, REFIID iid, void** object) {
    const HRESULT hr = made->QueryInterface(iid, object);
    made->Release();
    return hr;
}

}  // namespace

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) noexcept {
    return win::queryInterface(iid, object, {{&IID_IUnknown, this}, {&IID_IClassFactory, this}});
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return atBoundary(IID_IClassFactory, [&] {
        IUnknown* made = nullptr;
        const HRESULT hr = maker_(&made);
        if (FAILED(hr)) return hr;
        return handOver(made, iid, object);
    });
}

HRESULT ClassFactory::LockServer(BOOL lock) noexcept {
    lockServer(lock != FALSE);
    return S_OK;
}

HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    ClassFactory::Maker maker = nullptr;
    if (IsEqualCLSID(clsid, CLSID_clsMapServ)) {
        maker = makeMapServ;
    } else if (IsEqualCLSID(clsid, CLSID_clsMapServerEvents)) {
        maker = makeMapServerEvents;
    } else {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    auto* factory = new (std::nothrow) ClassFactory(maker);
    if (!factory) return E_OUTOFMEMORY;
    return handOver(factory, iid, object);
}

}  // namespace vamu::com
