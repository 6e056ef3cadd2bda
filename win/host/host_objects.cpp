#include "win/host/host_objects.h"

#include <oleauto.h>
#include <olectl.h>

namespace vamu::host {

const IID kPictureBoxIid = {0x33AD4ED1, 0x6699, 0x11CF, {0xB7, 0x0C, 0x00, 0xAA, 0x00, 0x60, 0xD3, 0x93}};
const IID kHostMapIid = {0x33CFA044, 0x2826, 0x11D4, {0x82, 0xE8, 0x00, 0xC0, 0xDF, 0x46, 0x4F, 0xC9}};

namespace {

enum : DISPID {
    kPicture = 1,
    kScaleMode,
    kScaleWidth,
    kScaleHeight,
    kCaption,
    kSignalInformation,
    kSignalSpecialRedraw
};

bool isPut(WORD flags) { return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }

// The value of a put: one argument, named DISPID_PROPERTYPUT.
const VARIANT* putValue(const DISPPARAMS& params) {
    if (params.cArgs != 1 || params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
        return nullptr;
    }
    return &params.rgvarg[0];
}

HRESULT returnR4(VARIANT* result, float value) {
    if (result) {
        VariantInit(result);
        result->vt = VT_R4;
        result->fltVal = value;
    }
    return S_OK;
}

bool pictureIsEmpty(IDispatch* picture) {
    if (!picture) return true;
    win::ComPtr<IPicture> pic;
    if (FAILED(picture->QueryInterface(IID_IPicture, pic.putVoid()))) return true;
    SHORT type = PICTYPE_NONE;
    pic->get_Type(&type);
    return type == PICTYPE_NONE || type == PICTYPE_UNINITIALIZED;
}

}  // namespace

TestDispatch::TestDispatch(std::vector<Member> members, std::vector<IID> alsoAnswers)
    : members_(std::move(members)), alsoAnswers_(std::move(alsoAnswers)) {}

HRESULT TestDispatch::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    bool answers = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch);
    for (const IID& other : alsoAnswers_) answers = answers || IsEqualIID(iid, other);
    if (!answers) return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

HRESULT TestDispatch::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT TestDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    for (const Member& m : members_) {
        if (count > 0 && _wcsicmp(m.name, names[0]) == 0) {
            ids[0] = m.id;
            return S_OK;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT TestDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO*, UINT*) {
    return call(id, flags, *params, result);
}

PictureBox::PictureBox(float w, float h, bool standard)
    : TestDispatch({{L"Picture", kPicture},
                    {L"ScaleMode", kScaleMode},
                    {L"ScaleWidth", kScaleWidth},
                    {L"ScaleHeight", kScaleHeight}},
                   standard ? std::vector<IID>{kPictureBoxIid} : std::vector<IID>{}),
      width(w),
      height(h) {}

HRESULT PictureBox::call(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result) {
    if (id == kScaleWidth && !isPut(flags)) return returnR4(result, width);
    if (id == kScaleHeight && !isPut(flags)) return returnR4(result, height);
    const VARIANT* value = isPut(flags) ? putValue(params) : nullptr;
    if (!value) return DISP_E_MEMBERNOTFOUND;
    if (id == kPicture) {
        if (value->vt != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
        ++picturePuts;
        picture = win::ComPtr<IDispatch>::retain(value->pdispVal);
        lastPictureEmpty = pictureIsEmpty(value->pdispVal);
        return S_OK;
    }
    if (id == kScaleMode) {
        if (value->vt != VT_I2) return DISP_E_TYPEMISMATCH;
        ++scaleModePuts;
        scaleMode = value->iVal;
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

Form::Form(PictureBox& picMap) : TestDispatch({{L"Caption", kCaption}}, {}), picMap_(picMap) {}

HRESULT Form::call(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result) {
    if (id == DISPID_VALUE) {
        if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
        VARIANT name;
        VariantInit(&name);
        if (FAILED(VariantChangeType(&name, &params.rgvarg[0], 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
        const bool known = _wcsicmp(name.bstrVal, L"picMap") == 0;
        VariantClear(&name);
        if (!known) return DISP_E_MEMBERNOTFOUND;
        ++picMapCalls;
        if (result) {
            VariantInit(result);
            result->vt = VT_DISPATCH;
            result->pdispVal = &picMap_;
            picMap_.AddRef();
        }
        return S_OK;
    }
    if (id != kCaption) return DISP_E_MEMBERNOTFOUND;
    if (isPut(flags)) {
        const VARIANT* value = putValue(params);
        if (!value || value->vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
        caption.assign(value->bstrVal, SysStringLen(value->bstrVal));
        return S_OK;
    }
    if (result) {
        VariantInit(result);
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocStringLen(caption.data(), static_cast<UINT>(caption.size()));
    }
    return S_OK;
}

Events::Events()
    : TestDispatch(
          {{L"SignalInformation", kSignalInformation}, {L"SignalSpecialRedraw", kSignalSpecialRedraw}}, {}) {}

HRESULT Events::call(DISPID id, WORD, DISPPARAMS& params, VARIANT*) {
    if (params.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    VARIANT* args = params.rgvarg;  // last argument first
    if (id == kSignalSpecialRedraw) {
        if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
        if (args[0].vt != (VT_BYREF | VT_BSTR)) return DISP_E_TYPEMISMATCH;
        BSTR text = *args[0].pbstrVal;
        redraws.emplace_back(text ? text : L"", SysStringLen(text));
        if (onRedraw) onRedraw(redraws.back());
        return S_OK;
    }
    if (id != kSignalInformation) return DISP_E_MEMBERNOTFOUND;
    if (params.cArgs != 5) return DISP_E_BADPARAMCOUNT;
    Report r{};
    r.byReference = args[0].vt == (VT_BYREF | VT_BSTR);
    for (int i = 1; i <= 4; ++i) r.byReference = r.byReference && args[i].vt == (VT_BYREF | VT_R8);
    if (!r.byReference) return DISP_E_TYPEMISMATCH;
    r.x1 = *args[4].pdblVal;
    r.x2 = *args[3].pdblVal;
    r.y1 = *args[2].pdblVal;
    r.y2 = *args[1].pdblVal;
    BSTR text = *args[0].pbstrVal;
    r.info.assign(text ? text : L"", SysStringLen(text));
    information.push_back(r);
    if (onInformation) onInformation(r);
    if (!replaceInfoWith.empty()) {
        SysFreeString(*args[0].pbstrVal);
        *args[0].pbstrVal = SysAllocString(replaceInfoWith.c_str());
    }
    return S_OK;
}

}  // namespace vamu::host
