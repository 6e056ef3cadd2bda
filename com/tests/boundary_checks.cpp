// The COM boundary of clsMapServ with a core that throws an exception that
// is not a RuntimeError: every vtable method and every member through
// IDispatch::Invoke answers E_UNEXPECTED with error info, and nothing
// crashes. The object is driven directly, without registration; the program
// prints "N passed, N failed" and exits non-zero on a failure.

#include <windows.h>
#include <oaidl.h>

#include <array>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "check.h"
#include "com/map_serv_members.h"
#include "com/map_serv_object.h"
#include "engine/module.h"
#include "win/platform/com_ptr.h"
#include "win/win_platform.h"

namespace vamu::wine_test {
namespace {

using win::ComPtr;

constexpr wchar_t kDescription[] = L"Unexpected failure: core failure";

class ThrowingCore final : public com::MapServObject {
public:
    using MapServObject::MapServObject;
    com::MapServRequests& requests() override { throw std::logic_error("core failure"); }
};

std::wstring takeText(BSTR& text) {
    std::wstring out = text ? text : L"";
    SysFreeString(text);
    text = nullptr;
    return out;
}

void checkVtableCall(const char* what, HRESULT hr) {
    if (hr != E_UNEXPECTED) {
        fail(__FILE__, __LINE__, std::string(what) + " gave " + hex(static_cast<unsigned long>(hr)));
        return;
    }
    ComPtr<IErrorInfo> error;
    if (GetErrorInfo(0, error.put()) != S_OK || !error) {
        fail(__FILE__, __LINE__, std::string(what) + " left no error info");
        return;
    }
    BSTR text = nullptr;
    error->GetDescription(&text);
    CHECK_WSTR(kDescription, takeText(text));
}

void checkEveryVtableMethod(_clsMapServ* s) {
    BSTR text = nullptr;
    VARIANT_BOOL b = VARIANT_FALSE;
    double d = 0;
    SHORT i = 0;
    LONG l = 0;
    IDispatch* o = nullptr;
    SAFEARRAY* a = nullptr;
    checkVtableCall("get_strServerName", s->get_strServerName(&text));
    checkVtableCall("put_strServerName", s->put_strServerName(nullptr));
    checkVtableCall("get_strMapName", s->get_strMapName(&text));
    checkVtableCall("put_strMapName", s->put_strMapName(nullptr));
    checkVtableCall("AddToFavouriteViews", s->AddToFavouriteViews(&text));
    checkVtableCall("GetSupportedFeatures",
                    s->GetSupportedFeatures(&b, &b, &b, &b, &b, &text, &l, &text, &a));
    checkVtableCall("Initialize", s->Initialize(&text, &o, &o));
    checkVtableCall("LoadFavouriteViews", s->LoadFavouriteViews(&a));
    checkVtableCall("SafeCall", s->SafeCall());
    checkVtableCall("SaveFavouriteViews", s->SaveFavouriteViews(&a));
    checkVtableCall("ShowControlPanel", s->ShowControlPanel());
    checkVtableCall("DrawMapFromCentre", s->DrawMapFromCentre(&o, &d, &d, &b));
    checkVtableCall("DrawMapFromCorners", s->DrawMapFromCorners(&o, &d, &d, &d, &d, &b));
    checkVtableCall("ResizeMap", s->ResizeMap(&o, &d, &d, &d, &d, &b));
    checkVtableCall("SpecialMenuOption", s->SpecialMenuOption(&o, &i, &b));
    checkVtableCall("ZoomAll", s->ZoomAll(&o, &b));
    checkVtableCall("ZoomIn", s->ZoomIn(&o, &b));
    checkVtableCall("ZoomOut", s->ZoomOut(&o, &b));
    checkVtableCall("ZoomPan", s->ZoomPan(&o, &i, &b));
    SysFreeString(text);
}

// One caller's variable of each type, passed by reference as VB passes it.
struct Variables {
    BSTR text = nullptr;
    VARIANT_BOOL boolean = VARIANT_FALSE;
    double real = 0;
    SHORT integer = 0;
    LONG longInt = 0;
    IDispatch* object = nullptr;
    SAFEARRAY* array = nullptr;

    VARIANTARG argFor(VARTYPE type) {
        VARIANTARG v;
        VariantInit(&v);
        v.vt = type;
        switch (type & ~VT_BYREF) {
            case VT_BSTR:
                if (type & VT_BYREF) v.pbstrVal = &text;
                break;
            case VT_BOOL:
                v.pboolVal = &boolean;
                break;
            case VT_R8:
                v.pdblVal = &real;
                break;
            case VT_I2:
                v.piVal = &integer;
                break;
            case VT_I4:
                v.plVal = &longInt;
                break;
            case VT_DISPATCH:
                v.ppdispVal = &object;
                break;
            default:
                v.pparray = &array;
        }
        return v;
    }
};

WORD flagsFor(com::MemberKind kind) {
    switch (kind) {
        case com::MemberKind::PropertyGet:
            return DISPATCH_PROPERTYGET;
        case com::MemberKind::PropertyPut:
            return DISPATCH_PROPERTYPUT;
        case com::MemberKind::Method:
            break;
    }
    return DISPATCH_METHOD;
}

void checkEveryInvoke(IDispatch* object) {
    for (const com::DispatchMember& m : com::mapServMembers()) {
        Variables variables;
        std::array<VARIANTARG, com::kMaxParams> args{};
        for (std::size_t k = 0; k < m.count; ++k) args[m.count - 1 - k] = variables.argFor(m.params[k]);
        DISPID put = DISPID_PROPERTYPUT;
        const bool isPut = m.kind == com::MemberKind::PropertyPut;
        DISPPARAMS params{args.data(), isPut ? &put : nullptr, static_cast<UINT>(m.count), isPut ? 1u : 0u};
        EXCEPINFO info{};
        VARIANT result;
        VariantInit(&result);
        const HRESULT hr =
            object->Invoke(m.id, IID_NULL, 0x409, flagsFor(m.kind), &params, &result, &info, nullptr);
        const std::string what = narrow(reinterpret_cast<const wchar_t*>(m.name));
        if (hr != DISP_E_EXCEPTION || info.scode != E_UNEXPECTED) {
            fail(__FILE__, __LINE__,
                 "Invoke " + what + " gave " + hex(static_cast<unsigned long>(hr)) + ", scode " +
                     hex(static_cast<unsigned long>(info.scode)));
        } else {
            ++passes();
        }
        CHECK_WSTR(kDescription, takeText(info.bstrDescription));
        takeText(info.bstrSource);
        takeText(info.bstrHelpFile);
        VariantClear(&result);
    }
}

}  // namespace
}  // namespace vamu::wine_test

int main() {
    using namespace vamu;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    {
        win::WinPlatform platform(GetModuleHandleW(nullptr));
        Module module(platform.services(),
                      [](Module&) -> std::unique_ptr<PanelAccess> { throw std::logic_error("no panel"); });
        auto* object = new wine_test::ThrowingCore(module);
        const auto server = win::ComPtr<_clsMapServ>::attach(object);
        wine_test::checkEveryVtableMethod(server.get());
        wine_test::checkEveryInvoke(server.get());
    }
    CoUninitialize();
    std::printf("boundary: %d passed, %d failed\n", wine_test::passes(), wine_test::failures());
    return wine_test::failures() == 0 ? 0 : 1;
}
