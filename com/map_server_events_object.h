#pragma once
// The COM object of the class clsMapServerEvents: the shape of the host's
// events interface, four methods that take up to five VARIANTs and do
// nothing. Its dual interface is generated from its rows, as clsMapServ's.

#include <windows.h>
#include <ocidl.h>

#include <span>

#include "com/com_object.h"
#include "com/dispatch_table.h"
#include "com/dual_interface.h"
#include "com/inout_args.h"
#include "vamuMapserver.h"

namespace vamu::com {

// What the four signals do: nothing, whatever they are given.
struct EventSignals {
    void ignore(OptionalVariant&, OptionalVariant&, OptionalVariant&, OptionalVariant&, OptionalVariant&) {}
};

// The member rows of _clsMapServerEvents, in the order of the IDL.
std::span<const DispatchMember> mapServerEventsMembers() noexcept;

class MapServerEventsObject final
    : public ServerObject<MapServerEventsObject, DualOwner<EventSignals>, IProvideClassInfo> {
public:
    MapServerEventsObject();

    // The object's IUnknown and _clsMapServerEvents (with the creator's
    // reference).
    _clsMapServerEvents* dual() noexcept { return dual_.as<_clsMapServerEvents>(); }

    EventSignals& requests() override { return signals_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;

    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) noexcept override;

private:
    friend class win::RefCounted<MapServerEventsObject, DualOwner<EventSignals>, IProvideClassInfo>;
    ~MapServerEventsObject() = default;

    EventSignals signals_;
    DualInterface<EventSignals> dual_;
};

}  // namespace vamu::com
