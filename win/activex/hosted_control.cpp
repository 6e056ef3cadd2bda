#include "win/activex/hosted_control.h"

#include <ocidl.h>

#include "win/activex/control_factory.h"
#include "win/platform/com_error.h"

namespace vamu::win::activex {
namespace {

using Step = HostingFailure::Step;

void require(HRESULT hr, Step step) {
    if (FAILED(hr)) throw HostingFailure(step, hr);
}

UniqueWindow siteWindow(const SitePlace& place) {
    const RECT& b = place.bounds;
    const HWND window =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_CLIPCHILDREN | (place.visible ? WS_VISIBLE : 0),
                        b.left, b.top, b.right - b.left, b.bottom - b.top, place.parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), place.instance, nullptr);
    if (!window) throw HostingFailure(Step::Create, HRESULT_FROM_WIN32(GetLastError()));
    return UniqueWindow(window);
}

// IPersistStreamInit or IPersistPropertyBag: a fresh control, not one read
// from storage. A control with neither starts as it is.
HRESULT initNew(const ComPtr<IOleObject>& object) {
    ComPtr<IPersistStreamInit> stream;
    if (SUCCEEDED(object.query(IID_IPersistStreamInit, stream))) return stream->InitNew();
    ComPtr<IPersistPropertyBag> bag;
    if (SUCCEEDED(object.query(IID_IPersistPropertyBag, bag))) return bag->InitNew();
    return S_OK;
}

// A property put by identifier. A control without one of the standard
// properties keeps its own value; so does one that refuses a value.
void put(IDispatch* object, StoredProperty& property) noexcept {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{property.value.get(), &named, 1, 1};
    EXCEPINFO info{};
    UINT argError = 0;
    object->Invoke(property.id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, &info,
                   &argError);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrHelpFile);
}

}  // namespace

HostedControl::HostedControl(const CLSID& clsid, const SitePlace& place,
                             std::vector<StoredProperty> properties)
    : window_(siteWindow(place)) {
    site_ = ControlSite::make(window_.get(), GetAncestor(place.parent, GA_ROOT), place.font);
    site_->setPlace(
        RECT{0, 0, place.bounds.right - place.bounds.left, place.bounds.bottom - place.bounds.top});
    try {
        create(clsid);
        initialise(properties);
        activate();
    } catch (...) {
        teardown();
        throw;
    }
}

HostedControl::~HostedControl() { teardown(); }

void HostedControl::create(const CLSID& clsid) {
    ComPtr<IUnknown> control;
    require(createControl(clsid, control), Step::Create);
    require(control.query(IID_IOleObject, object_), Step::Create);
    require(control.query(IID_IDispatch, dispatch_), Step::Create);
}

void HostedControl::initialise(std::vector<StoredProperty>& properties) {
    DWORD status = 0;
    if (FAILED(object_->GetMiscStatus(DVASPECT_CONTENT, &status))) status = 0;
    const bool siteFirst = (status & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst) {
        require(object_->SetClientSite(site_.get()), Step::Create);
        siteSet_ = true;
    }
    require(initNew(object_), Step::Create);
    if (!siteFirst) {
        require(object_->SetClientSite(site_.get()), Step::Create);
        siteSet_ = true;
    }
    for (StoredProperty& property : properties) put(dispatch_.get(), property);
}

void HostedControl::activate() {
    RECT place = site_->place();
    require(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, window_.get(), &place),
            Step::Activate);
    require(object_.query(IID_IOleInPlaceObject, inPlace_), Step::Activate);
    if (!site_->inPlaceActive()) throw HostingFailure(Step::Activate, E_UNEXPECTED);
    require(inPlace_->SetObjectRects(&place, &place), Step::Activate);
}

void HostedControl::resize(int width, int height) {
    const RECT place{0, 0, width, height};
    site_->setPlace(place);
    SetWindowPos(window_.get(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (inPlace_) check(inPlace_->SetObjectRects(&place, &place));
}

void HostedControl::teardown() noexcept {
    if (inPlace_) inPlace_->InPlaceDeactivate();
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        if (siteSet_) object_->SetClientSite(nullptr);
    }
    siteSet_ = false;
    inPlace_.reset();
    dispatch_.reset();
    object_.reset();
    site_.reset();
    window_.reset();
}

}  // namespace vamu::win::activex
