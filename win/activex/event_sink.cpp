#include "win/activex/event_sink.h"

#include <olectl.h>

#include <string>

#include "win/activex/excep_info.h"
#include "win/platform/com_error.h"

namespace vamu::win::activex {
namespace {

LONG sinksAlive = 0;

// A TYPEATTR, released with its type information.
class TypeAttr {
public:
    explicit TypeAttr(ITypeInfo* info) : info_(info) {
        check(info->GetTypeAttr(&attr_));
        if (!attr_) throw errorFromHresult(E_POINTER, u"The control's type information is empty");
    }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    ~TypeAttr() { info_->ReleaseTypeAttr(attr_); }
    const TYPEATTR* operator->() const noexcept { return attr_; }

private:
    ITypeInfo* info_;
    TYPEATTR* attr_ = nullptr;
};

// The coclass's implemented interface marked [default, source].
ComPtr<ITypeInfo> defaultSource(ITypeInfo* coclass) {
    const TypeAttr attr(coclass);
    constexpr INT kWanted = IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
    for (UINT i = 0; i < attr->cImplTypes; ++i) {
        INT flags = 0;
        if (FAILED(coclass->GetImplTypeFlags(i, &flags)) || (flags & kWanted) != kWanted) continue;
        HREFTYPE ref = 0;
        check(coclass->GetRefTypeOfImplType(i, &ref));
        ComPtr<ITypeInfo> source;
        check(coclass->GetRefTypeInfo(ref, source.put()));
        if (!source) break;
        return source;
    }
    throw errorFromHresult(CONNECT_E_NOCONNECTION, u"The control has no default source interface");
}

// A Long argument of an event (by value or by reference).
HRESULT longArgument(const VARIANT& argument, std::int32_t& out) {
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT hr = VariantChangeType(&converted, const_cast<VARIANT*>(&argument), 0, VT_I4);
    if (SUCCEEDED(hr)) out = converted.lVal;
    VariantClear(&converted);
    return hr;
}

}  // namespace

EventSource findEvent(IUnknown* control, std::u16string_view event) {
    ComPtr<IProvideClassInfo> provider;
    HRESULT hr = ComPtr<IUnknown>::retain(control).query(IID_IProvideClassInfo, provider);
    if (FAILED(hr)) throw errorFromHresult(hr, u"The control gives no class information");
    ComPtr<ITypeInfo> coclass;
    check(provider->GetClassInfo(coclass.put()));
    if (!coclass) throw errorFromHresult(E_POINTER, u"The control gives no class information");
    const ComPtr<ITypeInfo> source = defaultSource(coclass.get());
    EventSource found{};
    found.iid = TypeAttr(source.get())->guid;
    std::u16string name(event);
    LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(name.data())};
    hr = source->GetIDsOfNames(names, 1, &found.member);
    if (FAILED(hr)) throw errorFromHresult(hr, u"The control raises no event " + name);
    return found;
}

ComPtr<EventSink> EventSink::make(const EventSource& source) {
    return ComPtr<EventSink>::attach(new EventSink(source));
}

EventSink::EventSink(const EventSource& source) noexcept : source_(source) {
    InterlockedIncrement(&sinksAlive);
}

EventSink::~EventSink() { InterlockedDecrement(&sinksAlive); }

LONG EventSink::alive() noexcept { return sinksAlive; }

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** out) {
    return queryInterface(iid, out, {{&IID_IUnknown, this}, {&IID_IDispatch, this}, {&source_.iid, this}});
}

STDMETHODIMP EventSink::Invoke(DISPID member, REFIID iid, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* info, UINT* argError) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (result) VariantInit(result);
    if (member != source_.member) return S_OK;  // an event the panel does not handle
    if (!params || params->cArgs != 3) return DISP_E_BADPARAMCOUNT;
    // The arguments arrive last to first.
    std::int32_t lat = 0, lng = 0, third = 0;
    if (FAILED(longArgument(params->rgvarg[2], lat))) {
        if (argError) *argError = 0;
        return DISP_E_TYPEMISMATCH;
    }
    if (FAILED(longArgument(params->rgvarg[1], lng))) {
        if (argError) *argError = 1;
        return DISP_E_TYPEMISMATCH;
    }
    // The third value is not used: whatever 4-byte value it is passes.
    if (FAILED(longArgument(params->rgvarg[0], third))) third = 0;
    if (!handler_) return S_OK;
    // A copy: the handler may replace itself while it runs.
    const MapControl::PositionChanged handler = handler_;
    AddRef();  // the handler may let go of the panel, and so of this sink
    HRESULT hr = S_OK;
    try {
        handler(lat, lng, third);
    } catch (...) {
        hr = reportCurrentException(info);
    }
    Release();
    return hr;
}

Connection::Connection(IUnknown* control, REFIID iid, IUnknown* sink) {
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = ComPtr<IUnknown>::retain(control).query(IID_IConnectionPointContainer, container);
    if (FAILED(hr)) throw errorFromHresult(hr, u"The control has no connection points");
    check(container->FindConnectionPoint(iid, point_.put()));
    if (!point_) throw errorFromHresult(CONNECT_E_NOCONNECTION);
    hr = point_->Advise(sink, &cookie_);
    if (FAILED(hr)) {
        point_.reset();
        throw errorFromHresult(hr);
    }
}

Connection::~Connection() {
    if (point_) point_->Unadvise(cookie_);
}

}  // namespace vamu::win::activex
