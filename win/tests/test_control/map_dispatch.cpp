// The test map control's dispatch interface, by the installed control's
// identifiers. Properties put before activation are kept and given to the
// map when it is made; afterwards they go to the map at once.

#include <olectl.h>

#include "test_map.h"
#include "test_map_idl.h"
#include "win/activex/excep_info.h"
#include "win/platform/bstr.h"
#include "win/platform/variant.h"

namespace vamu::testmap {
namespace {

// An HRESULT that ends the call without an exception record.
struct Refusal {
    HRESULT hr;
};

// Positional argument i (the arguments arrive last to first).
const VARIANT& arg(const DISPPARAMS& params, UINT i, UINT count) {
    if (params.cArgs != count || params.cNamedArgs > (count == 1 ? 1u : 0u))
        throw Refusal{DISP_E_BADPARAMCOUNT};
    return params.rgvarg[count - 1 - i];
}

std::int32_t* byRefLong(const VARIANT& value) {
    if (value.vt != (VT_BYREF | VT_I4)) throw Refusal{DISP_E_TYPEMISMATCH};
    return reinterpret_cast<std::int32_t*>(value.plVal);
}

void need(WORD flags, WORD wanted) {
    if (!(flags & wanted)) throw Refusal{DISP_E_MEMBERNOTFOUND};
}

void returnObject(VARIANT* result, ComPtr<IDispatch> object) {
    if (!result) return;
    result->vt = VT_DISPATCH;
    result->pdispVal = object.detach();
}

}  // namespace

STDMETHODIMP TestMap::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP TestMap::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    *info = typeInfoOf(DIID__DVamuTestMap).detach();
    return *info ? S_OK : TYPE_E_CANTLOADLIBRARY;
}

STDMETHODIMP TestMap::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    const ComPtr<ITypeInfo> info = typeInfoOf(DIID__DVamuTestMap);
    if (!info) return TYPE_E_CANTLOADLIBRARY;
    return DispGetIDsOfNames(info.get(), names, count, ids);
}

STDMETHODIMP TestMap::Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* info, UINT*) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!params) return E_POINTER;
    if (result) VariantInit(result);
    try {
        invokeMember(member, flags, *params, result);
        return S_OK;
    } catch (const Refusal& refusal) {
        return refusal.hr;
    } catch (...) {
        return win::activex::reportCurrentException(info);
    }
}

void TestMap::invokeMember(DISPID member, WORD flags, DISPPARAMS& params, VARIANT* result) {
    const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    switch (member) {
        case 1:  // AreaCode
            if (put) {
                const std::u16string code = win::toString(arg(params, 0, 1));
                window_ ? window_->setAreaCode(code) : void(settings_.areaCode = code);
            } else if (result) {
                need(flags, DISPATCH_PROPERTYGET);
                result->vt = VT_BSTR;
                result->bstrVal =
                    win::Bstr(window_ ? window_->control().areaCode() : settings_.areaCode).detach();
            }
            return;
        case 2:  // Layers
            need(flags, DISPATCH_PROPERTYGET);
            returnObject(result, layerCollection(*map().layers()));
            return;
        case 3:  // Areas
            need(flags, DISPATCH_PROPERTYGET);
            returnObject(result, areaCollection(*map().areas()));
            return;
        case 4:  // LayerScale
            if (put) {
                const std::int32_t scale = win::toLong(arg(params, 0, 1));
                window_ ? window_->setLayerScale(scale) : void(settings_.layerScale = scale);
            } else if (result) {
                need(flags, DISPATCH_PROPERTYGET);
                result->vt = VT_I4;
                result->lVal = window_ ? window_->control().layerScale() : settings_.layerScale;
            }
            return;
        case 5:  // ScrollBar, MouseScroll, KeydownScroll: kept for the map to come
        case 6:
        case 39: {
            need(flags, DISPATCH_PROPERTYPUT);
            const bool on = win::toBool(arg(params, 0, 1));
            (member == 5   ? settings_.scrollBar
             : member == 6 ? settings_.mouseScroll
                           : settings_.keydownScroll) = on;
            return;
        }
        case DISPID_APPEARANCE:
        case DISPID_BORDERSTYLE:
        case DISPID_ENABLED:
            need(flags, DISPATCH_PROPERTYPUT);
            win::toLong(arg(params, 0, 1));
            return;
        case 32:  // OverviewMode
            need(flags, DISPATCH_PROPERTYPUT);
            overviewMode_ = win::toBool(arg(params, 0, 1));
            if (window_) window_->setOverviewMode(overviewMode_);
            return;
        case 45:  // SetCenter
            need(flags, DISPATCH_METHOD);
            map().setCenter(win::toLong(arg(params, 0, 4)), win::toLong(arg(params, 1, 4)),
                            win::toLong(arg(params, 2, 4)), win::toLong(arg(params, 3, 4)));
            return;
        case 49: {  // PixelToLatLng
            need(flags, DISPATCH_METHOD);
            std::int32_t* lat = byRefLong(arg(params, 2, 4));
            std::int32_t* lng = byRefLong(arg(params, 3, 4));
            map().pixelToLatLng(win::toLong(arg(params, 0, 4)), win::toLong(arg(params, 1, 4)), *lat, *lng);
            return;
        }
        case 64:  // CopyToClipboard
            need(flags, DISPATCH_METHOD);
            if (params.cArgs != 0) throw Refusal{DISP_E_BADPARAMCOUNT};
            map().copyToClipboard();
            return;
        case 100:  // SetDisplayOption
            need(flags, DISPATCH_METHOD);
            map().setDisplayOption(win::toLong(arg(params, 0, 3)), win::toString(arg(params, 1, 3)),
                                   win::toLong(arg(params, 2, 3)));
            return;
        default:
            throw Refusal{DISP_E_MEMBERNOTFOUND};
    }
}

}  // namespace vamu::testmap
