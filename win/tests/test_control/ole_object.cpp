// The test map control as an OLE object: it takes a client site, reads the
// ambient properties, and on in-place activation puts the built-in map
// window into the site's window at the place the site gives.

#include <olectl.h>

#include "contracts/runtime_error.h"
#include "panel/stored_settings.h"
#include "test_map.h"
#include "test_map_idl.h"
#include "win/platform/variant.h"

namespace vamu::testmap {

void TestMap::readAmbients() {
    ComPtr<IDispatch> ambients;
    if (!site_ || FAILED(site_->QueryInterface(IID_IDispatch, ambients.putVoid()))) return;
    DISPPARAMS none{};
    win::Variant userMode;
    if (SUCCEEDED(ambients->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                   userMode.get(), nullptr, nullptr)) &&
        userMode.type() == VT_BOOL) {
        module().userMode = userMode.ref().boolVal != VARIANT_FALSE ? 1 : 0;
    }
    win::Variant font;
    ComPtr<IFontDisp> fontDisp;
    if (SUCCEEDED(ambients->Invoke(DISPID_AMBIENT_FONT, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, font.get(),
                                   nullptr, nullptr)) &&
        font.type() == VT_DISPATCH && font.ref().pdispVal &&
        SUCCEEDED(font.ref().pdispVal->QueryInterface(IID_IFontDisp, fontDisp.putVoid()))) {
        module().ambientFont = 1;
    }
}

win::MapWindow& TestMap::map() {
    if (!window_) raise(ErrorNumber::ObjectNotSet);
    return *window_;
}

STDMETHODIMP TestMap::SetClientSite(IOleClientSite* site) {
    site_ = ComPtr<IOleClientSite>::retain(site);
    readAmbients();
    return S_OK;
}

STDMETHODIMP TestMap::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = ComPtr<IOleClientSite>(site_).detach();
    return S_OK;
}

STDMETHODIMP TestMap::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP TestMap::Close(DWORD) {
    InPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP TestMap::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP TestMap::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestMap::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP TestMap::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestMap::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) {
    if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_SHOW && verb != OLEIVERB_UIACTIVATE)
        return OLEOBJ_S_INVALIDVERB;
    if (window_) return S_OK;
    if (switchOn(L"fail-activate")) return E_FAIL;
    if (switchOn(L"fail-second") && module().active > 0) return E_FAIL;
    IOleClientSite* from = site ? site : site_.get();
    if (!from || FAILED(from->QueryInterface(IID_IOleInPlaceSite, inPlaceSite_.putVoid())))
        return E_UNEXPECTED;
    if (inPlaceSite_->CanInPlaceActivate() != S_OK) return E_FAIL;
    HWND parent = nullptr;
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof info;
    if (FAILED(inPlaceSite_->GetWindow(&parent)) ||
        FAILED(inPlaceSite_->GetWindowContext(frame.put(), document.put(), &position, &clip, &info)))
        return E_FAIL;
    try {
        window_ = std::make_unique<win::MapWindow>(module().instance, parent, 1, position, true, clipboard_,
                                                   settings_);
    } catch (...) {
        return E_FAIL;
    }
    if (switchOn(L"no-rdw2010")) {
        for (auto& set : window_->control().catalogue()) {
            if (set.areaCode == u"RDW2010") set.areaCode = u"RDW2005";
        }
    }
    InterlockedIncrement(&module().active);
    window_->setOverviewMode(overviewMode_);
    window_->onPositionChanged(
        [this](std::int32_t lat, std::int32_t lng, std::int32_t third) { events_.fire(lat, lng, third); });
    inPlaceSite_->OnInPlaceActivate();
    return S_OK;
}

STDMETHODIMP TestMap::EnumVerbs(IEnumOLEVERB** verbs) {
    if (verbs) *verbs = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestMap::Update() { return S_OK; }
STDMETHODIMP TestMap::IsUpToDate() { return S_OK; }
STDMETHODIMP TestMap::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

STDMETHODIMP TestMap::GetUserType(DWORD, LPOLESTR* type) {
    if (type) *type = nullptr;
    return OLE_S_USEREG;
}

STDMETHODIMP TestMap::SetExtent(DWORD, SIZEL*) { return S_OK; }

STDMETHODIMP TestMap::GetExtent(DWORD, SIZEL* size) {
    if (!size) return E_POINTER;
    *size = SIZEL{0, 0};
    return S_OK;
}

STDMETHODIMP TestMap::Advise(IAdviseSink*, DWORD* connection) {
    if (connection) *connection = 0;
    return E_NOTIMPL;
}

STDMETHODIMP TestMap::Unadvise(DWORD) { return E_NOTIMPL; }

STDMETHODIMP TestMap::EnumAdvise(IEnumSTATDATA** advise) {
    if (advise) *advise = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestMap::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
              OLEMISC_SETCLIENTSITEFIRST;
    return S_OK;
}

STDMETHODIMP TestMap::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

STDMETHODIMP TestMap::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_ ? window_->handle() : nullptr;
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP TestMap::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP TestMap::InPlaceDeactivate() {
    if (!window_) return S_OK;
    window_.reset();
    InterlockedDecrement(&module().active);
    if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
    inPlaceSite_.reset();
    return S_OK;
}

STDMETHODIMP TestMap::UIDeactivate() { return S_OK; }

// The container's place: the map takes the whole of it (less its scroll
// bars, as the built-in map does).
STDMETHODIMP TestMap::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    if (!window_) return E_UNEXPECTED;
    try {
        SetWindowPos(window_->handle(), nullptr, position->left, position->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        window_->setWidth(static_cast<float>(position->right - position->left));
        window_->setHeight(static_cast<float>(position->bottom - position->top));
    } catch (...) {
        return E_INVALIDARG;
    }
    return S_OK;
}

STDMETHODIMP TestMap::ReactivateAndUndo() { return E_NOTIMPL; }

}  // namespace vamu::testmap
