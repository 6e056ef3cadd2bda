#pragma once
// The overview's event PositionChanged, as the container receives it: the
// control's default source interface found through its class information,
// a sink that implements it late-bound, and the connection between them.

#include <windows.h>
#include <ocidl.h>

#include <string_view>

#include "contracts/map_control.h"
#include "win/platform/com_object.h"
#include "win/platform/com_ptr.h"

namespace vamu::win::activex {

// The default source interface of a control and the dispatch identifier of
// one of its events, read from the control's type information (the class's
// IProvideClassInfo). Raises the failure when the control has neither.
struct EventSource {
    IID iid;
    DISPID member;
};
EventSource findEvent(IUnknown* control, std::u16string_view event);

// Implements the source interface: Invoke with the event's identifier calls
// the handler with latitude, longitude and the third value; every other
// event of the interface is accepted and ignored. A failure of the handler
// goes back to the raiser as DISP_E_EXCEPTION with the error.
class EventSink final : public RefCounted<EventSink, UntypedDispatch> {
public:
    static ComPtr<EventSink> make(const EventSource& source);
    void setHandler(MapControl::PositionChanged handler) { handler_ = std::move(handler); }

    // Sinks alive in this process, for leak checks.
    static LONG alive() noexcept;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* info, UINT* argError) override;

private:
    friend RefCounted;
    explicit EventSink(const EventSource& source) noexcept;
    ~EventSink();

    EventSource source_;
    MapControl::PositionChanged handler_;
};

// One Advise on the control's connection point for an interface, undone
// (Unadvise) when the holder goes. Raises the failure of the Advise.
class Connection {
public:
    Connection(IUnknown* control, REFIID iid, IUnknown* sink);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

private:
    ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

}  // namespace vamu::win::activex
