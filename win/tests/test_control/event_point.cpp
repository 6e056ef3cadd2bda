// The connection point for the control's default source interface. Each
// advised sink is held by one reference until it is unadvised or the control
// goes. PositionChanged goes to the sinks through IDispatch::Invoke with its
// identifier from the type library; a sink's failure comes back as a
// run-time error to whatever moved the map.

#include <olectl.h>

#include "test_map.h"
#include "test_map_idl.h"
#include "win/platform/com_error.h"

namespace vamu::testmap {

EventPoint::~EventPoint() {
    for (std::size_t i = 0; i < sinks_.size(); ++i) {
        InterlockedDecrement(&module().connections);
        InterlockedDecrement(&module().sinkRefs);
    }
}

STDMETHODIMP EventPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) EventPoint::AddRef() { return owner_.AddRef(); }
STDMETHODIMP_(ULONG) EventPoint::Release() { return owner_.Release(); }

STDMETHODIMP EventPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = DIID__DVamuTestMapEvents;
    return S_OK;
}

STDMETHODIMP EventPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    owner_.AddRef();
    *container = static_cast<IConnectionPointContainer*>(&owner_);
    return S_OK;
}

STDMETHODIMP EventPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(DIID__DVamuTestMapEvents, events.putVoid())))
        return CONNECT_E_CANNOTCONNECT;
    sinks_.emplace_back(nextCookie_, std::move(events));
    *cookie = nextCookie_++;
    InterlockedIncrement(&module().connections);
    InterlockedIncrement(&module().sinkRefs);
    return S_OK;
}

STDMETHODIMP EventPoint::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->first != cookie) continue;
        sinks_.erase(it);
        InterlockedDecrement(&module().connections);
        InterlockedDecrement(&module().sinkRefs);
        return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP EventPoint::EnumConnections(IEnumConnections** connections) {
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}

void EventPoint::fire(std::int32_t lat, std::int32_t lng, std::int32_t third) {
    InterlockedIncrement(&module().fired);
    const DISPID kPositionChanged = 7;
    // A copy with references of its own: a sink may unadvise while it runs.
    std::vector<ComPtr<IDispatch>> sinks;
    for (auto& entry : sinks_) sinks.push_back(entry.second);
    for (const auto& sink : sinks) {
        VARIANT args[3];  // last to first
        args[0].vt = VT_I4;
        args[0].lVal = third;
        args[1].vt = VT_I4;
        args[1].lVal = lng;
        args[2].vt = VT_I4;
        args[2].lVal = lat;
        DISPPARAMS params{args, nullptr, 3, 0};
        EXCEPINFO info{};
        const HRESULT hr = sink->Invoke(kPositionChanged, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                        &params, nullptr, &info, nullptr);
        if (hr == DISP_E_EXCEPTION) throw win::errorFromExcepInfo(info);
        if (FAILED(hr)) throw win::errorFromHresult(hr);
    }
}

}  // namespace vamu::testmap
