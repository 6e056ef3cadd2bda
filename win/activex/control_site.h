#pragma once
// The container's side of one hosted control: the site the control talks
// to. One COM object with the interfaces a control asks its site for:
//   IOleClientSite      the control's way back to its container (SetClientSite)
//   IOleInPlaceSite     in-place activation: the window to draw into, where
//                       the control stands, activation notices
//   IOleInPlaceFrame    the frame in GetWindowContext (through its base
//                       IOleInPlaceUIWindow): no menus, no tool space
//   IOleControlSite     control notices (focus, extents, keyboard)
//   IDispatch           the ambient properties: user mode, font, colours
// The members live in client_site.cpp, inplace_site.cpp and ambient.cpp;
// the reference count and the type-information members in com_object.h.

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include "win/platform/com_object.h"
#include "win/platform/com_ptr.h"

namespace vamu::win::activex {

class ControlSite final : public RefCounted<ControlSite, IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame,
                                            IOleControlSite, UntypedDispatch> {
public:
    // window: the site's own window, the control's parent; frame: the
    // panel's top-level window; font: the panel's font (ambient Font).
    static ComPtr<ControlSite> make(HWND window, HWND frame, HFONT font);

    // Where the control stands inside the site window (pixels).
    void setPlace(const RECT& place) noexcept { place_ = place; }
    const RECT& place() const noexcept { return place_; }
    bool inPlaceActive() const noexcept { return inPlaceActive_; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL show) override;
    STDMETHODIMP RequestNewObjectLayout() override;

    // IOleWindow (shared by the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                  RECT* clip, OLEINPLACEFRAMEINFO* info) override;
    STDMETHODIMP Scroll(SIZE extent) override;
    STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(const RECT* position) override;

    // IOleInPlaceUIWindow
    STDMETHODIMP GetBorder(RECT* border) override;
    STDMETHODIMP RequestBorderSpace(const BORDERWIDTHS* widths) override;
    STDMETHODIMP SetBorderSpace(const BORDERWIDTHS* widths) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;

    // IOleInPlaceFrame
    STDMETHODIMP InsertMenus(HMENU shared, OLEMENUGROUPWIDTHS* widths) override;
    STDMETHODIMP SetMenu(HMENU shared, HOLEMENU descriptor, HWND activeObject) override;
    STDMETHODIMP RemoveMenus(HMENU shared) override;
    STDMETHODIMP SetStatusText(LPCOLESTR text) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP TranslateAccelerator(MSG* message, WORD id) override;

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override;
    STDMETHODIMP LockInPlaceActive(BOOL lock) override;
    STDMETHODIMP GetExtendedControl(IDispatch** control) override;
    STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
    STDMETHODIMP TranslateAccelerator(MSG* message, DWORD modifiers) override;
    STDMETHODIMP OnFocus(BOOL gotFocus) override;
    STDMETHODIMP ShowPropertyFrame() override;

    // IDispatch: the ambient properties
    STDMETHODIMP Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* info, UINT* argError) override;

private:
    friend RefCounted;
    ControlSite(HWND window, HWND frame, HFONT font) noexcept : window_(window), frame_(frame), font_(font) {}
    ~ControlSite() = default;

    HRESULT ambient(DISPID member, VARIANT* result);

    HWND window_;
    HWND frame_;
    HFONT font_;
    RECT place_{};
    bool inPlaceActive_ = false;
};

}  // namespace vamu::win::activex
