// The ambient properties, read by the control through IDispatch on its site:
// it runs in user mode (not in a designer), with the panel's font and the
// system's dialog colours. The site has no type information; a property the
// container does not offer is DISP_E_MEMBERNOTFOUND, which tells the control
// to use its own default.

#include <olectl.h>

#include "win/activex/control_site.h"

namespace vamu::win::activex {
namespace {

constexpr OLE_COLOR systemColour(int index) noexcept { return 0x80000000u | static_cast<OLE_COLOR>(index); }

HRESULT fontOf(HFONT font, VARIANT* result) {
    LOGFONTW shape{};
    if (!font || !GetObjectW(font, sizeof shape, &shape)) return DISP_E_MEMBERNOTFOUND;
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    FONTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.lpstrName = shape.lfFaceName;
    const LONGLONG height = shape.lfHeight < 0 ? -shape.lfHeight : shape.lfHeight;
    desc.cySize.int64 = height * 72 * 10000 / (dpi > 0 ? dpi : 96);  // points, in CY's fixed point
    desc.sWeight = static_cast<SHORT>(shape.lfWeight);
    desc.sCharset = shape.lfCharSet;
    desc.fItalic = shape.lfItalic != 0;
    desc.fUnderline = shape.lfUnderline != 0;
    desc.fStrikethrough = shape.lfStrikeOut != 0;
    IFontDisp* fontDisp = nullptr;
    const HRESULT hr = OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(&fontDisp));
    if (FAILED(hr)) return hr;
    result->vt = VT_DISPATCH;
    result->pdispVal = fontDisp;
    return S_OK;
}

void setBool(VARIANT* result, bool value) noexcept {
    result->vt = VT_BOOL;
    result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void setLong(VARIANT* result, LONG value) noexcept {
    result->vt = VT_I4;
    result->lVal = value;
}

}  // namespace

HRESULT ControlSite::ambient(DISPID member, VARIANT* result) {
    switch (member) {
        case DISPID_AMBIENT_USERMODE:
            setBool(result, true);
            return S_OK;
        case DISPID_AMBIENT_UIDEAD:
        case DISPID_AMBIENT_SHOWGRABHANDLES:
        case DISPID_AMBIENT_SHOWHATCHING:
        case DISPID_AMBIENT_DISPLAYASDEFAULT:
        case DISPID_AMBIENT_MESSAGEREFLECT:
        case DISPID_AMBIENT_SUPPORTSMNEMONICS:
            setBool(result, false);
            return S_OK;
        case DISPID_AMBIENT_BACKCOLOR:
            setLong(result, static_cast<LONG>(systemColour(COLOR_BTNFACE)));
            return S_OK;
        case DISPID_AMBIENT_FORECOLOR:
            setLong(result, static_cast<LONG>(systemColour(COLOR_BTNTEXT)));
            return S_OK;
        case DISPID_AMBIENT_LOCALEID:
            setLong(result, static_cast<LONG>(GetUserDefaultLCID()));
            return S_OK;
        case DISPID_AMBIENT_APPEARANCE:
            setLong(result, 0);  // flat, as the panel's controls are stored
            return S_OK;
        case DISPID_AMBIENT_FONT:
            return fontOf(font_, result);
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

STDMETHODIMP ControlSite::Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO*, UINT*) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;  // ambients are read-only
    if (params && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    VARIANT ignored;
    VARIANT* out = result ? result : &ignored;
    VariantInit(out);
    const HRESULT hr = ambient(member, out);
    if (!result) VariantClear(&ignored);
    return hr;
}

}  // namespace vamu::win::activex
