// In-place activation: the control draws into the site's window at the place
// the container gives it. The panel's window is the frame; it has no menus,
// no tool space and no status line to share.

#include "win/activex/control_site.h"

namespace vamu::win::activex {

STDMETHODIMP ControlSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
}

STDMETHODIMP ControlSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP ControlSite::CanInPlaceActivate() { return S_OK; }

STDMETHODIMP ControlSite::OnInPlaceActivate() {
    inPlaceActive_ = true;
    return S_OK;
}

STDMETHODIMP ControlSite::OnUIActivate() { return S_OK; }

STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) {
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    AddRef();
    *frame = static_cast<IOleInPlaceFrame*>(this);
    *document = nullptr;  // no document window of its own
    *position = place_;
    *clip = place_;
    info->cb = sizeof(OLEINPLACEFRAMEINFO);
    info->fMDIApp = FALSE;
    info->hwndFrame = frame_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP ControlSite::Scroll(SIZE) { return S_FALSE; }
STDMETHODIMP ControlSite::OnUIDeactivate(BOOL) { return S_OK; }

STDMETHODIMP ControlSite::OnInPlaceDeactivate() {
    inPlaceActive_ = false;
    return S_OK;
}

STDMETHODIMP ControlSite::DiscardUndoState() { return S_OK; }
STDMETHODIMP ControlSite::DeactivateAndUndo() { return S_OK; }

// The container decides where its controls stand: a control that asks for
// another place keeps the one it has.
STDMETHODIMP ControlSite::OnPosRectChange(const RECT* position) { return position ? S_OK : E_POINTER; }

STDMETHODIMP ControlSite::GetBorder(RECT* border) {
    if (border) SetRectEmpty(border);
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP ControlSite::RequestBorderSpace(const BORDERWIDTHS*) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP ControlSite::SetBorderSpace(const BORDERWIDTHS*) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP ControlSite::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) { return S_OK; }

STDMETHODIMP ControlSite::InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) { return E_NOTIMPL; }
STDMETHODIMP ControlSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP ControlSite::RemoveMenus(HMENU) { return E_NOTIMPL; }
STDMETHODIMP ControlSite::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP ControlSite::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::TranslateAccelerator(MSG*, WORD) { return S_FALSE; }

}  // namespace vamu::win::activex
