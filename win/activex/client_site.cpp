// The site's identity and its client-site and control-site members. The
// container keeps no documents and no monikers: a control that asks to be
// saved or for its container hears that there is none.

#include "win/activex/control_site.h"

namespace vamu::win::activex {

ComPtr<ControlSite> ControlSite::make(HWND window, HWND frame, HFONT font) {
    return ComPtr<ControlSite>::attach(new ControlSite(window, frame, font));
}

STDMETHODIMP ControlSite::QueryInterface(REFIID iid, void** out) {
    IOleInPlaceSite* const site = this;
    IOleInPlaceFrame* const frame = this;
    return queryInterface(iid, out,
                          {{&IID_IUnknown, static_cast<IOleClientSite*>(this)},
                           {&IID_IOleClientSite, static_cast<IOleClientSite*>(this)},
                           {&IID_IOleWindow, site},
                           {&IID_IOleInPlaceSite, site},
                           {&IID_IOleInPlaceUIWindow, frame},
                           {&IID_IOleInPlaceFrame, frame},
                           {&IID_IOleControlSite, static_cast<IOleControlSite*>(this)},
                           {&IID_IDispatch, static_cast<IDispatch*>(this)}});
}

STDMETHODIMP ControlSite::SaveObject() { return S_OK; }  // nothing is stored

STDMETHODIMP ControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetContainer(IOleContainer** container) {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP ControlSite::ShowObject() { return S_OK; }
STDMETHODIMP ControlSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::RequestNewObjectLayout() { return E_NOTIMPL; }

STDMETHODIMP ControlSite::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP ControlSite::LockInPlaceActive(BOOL) { return S_OK; }

STDMETHODIMP ControlSite::GetExtendedControl(IDispatch** control) {
    if (control) *control = nullptr;
    return E_NOTIMPL;
}

// Pixels on the container's side, HIMETRIC (0.01 mm) on the control's.
STDMETHODIMP ControlSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
    if (!himetric || !container) return E_POINTER;
    const HDC screen = GetDC(nullptr);
    const float dpiX = static_cast<float>(GetDeviceCaps(screen, LOGPIXELSX));
    const float dpiY = static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    constexpr float kHimetricPerInch = 2540.0f;
    if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
        container->x = static_cast<float>(himetric->x) * dpiX / kHimetricPerInch;
        container->y = static_cast<float>(himetric->y) * dpiY / kHimetricPerInch;
    } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
        himetric->x = static_cast<LONG>(container->x * kHimetricPerInch / dpiX + 0.5f);
        himetric->y = static_cast<LONG>(container->y * kHimetricPerInch / dpiY + 0.5f);
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

STDMETHODIMP ControlSite::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }
STDMETHODIMP ControlSite::OnFocus(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::ShowPropertyFrame() { return E_NOTIMPL; }

}  // namespace vamu::win::activex
