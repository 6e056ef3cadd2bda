// IDispatch rules of the map server before any Initialize: names, argument
// counts and types, the forms in which VB and scripts pass arguments, named
// arguments, properties and the error reports; and the events class.

#include <windows.h>
#include <ocidl.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "win/tests/support/check.h"
#include "client_checks.h"
#include "com/string_array.h"
#include "server_access.h"
#include "vamuMapserver.h"
#include "win/host/late_call.h"
#include "win/host/message_box_watch.h"
#include "win/platform/bstr.h"
#include "win/platform/variant.h"

namespace vamu::wine_test {
namespace {

using com::SafeArray;
using win::Bstr;
using win::ComPtr;
using win::Variant;

constexpr DISPID kGetSupportedFeatures = 0x60030001;
constexpr HRESULT kObjectNotSet = static_cast<HRESULT>(0x800A005B);
const std::wstring kHelpCaption = L"ヴァムーマップサーバーHelp";

// By-reference arguments to each of the caller's VARIANTs.
template <std::size_t N>
std::vector<VARIANT> refs(Variant (&variables)[N]) {
    std::vector<VARIANT> args;
    for (Variant& each : variables) args.push_back(ref(each.get()));
    return args;
}

// A VARIANT holding a new two-element array of the given element type.
Variant arrayVariant(VARTYPE element) {
    Variant array;
    array.get()->vt = static_cast<VARTYPE>(VT_ARRAY | element);
    array.get()->parray = SafeArrayCreateVector(element, 0, 2);
    return array;
}

void checkNames(IDispatch* server) {
    CHECK(idOf(server, L"getsupportedfeatures") == kGetSupportedFeatures);
    CHECK(idOf(server, L"STRMAPNAME") == 0x40030004);
    CHECK(idOf(server, L"ZoomPan") == 0x6003000E);
    DISPID id = 0;
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"ZoomSideways")};
    CHECK_HR(DISP_E_UNKNOWNNAME, server->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id));
    CHECK(id == DISPID_UNKNOWN);
    DISPID ids[2] = {};
    LPOLESTR withParam[] = {const_cast<LPOLESTR>(L"ZoomIn"), const_cast<LPOLESTR>(L"picMap")};
    CHECK_HR(DISP_E_UNKNOWNNAME, server->GetIDsOfNames(IID_NULL, withParam, 2, 0, ids));
    CHECK(ids[0] == 0x6003000C && ids[1] == DISPID_UNKNOWN);
}

// As VB passes its typed variables: each by reference in its own type.
// The caption array comes back with bounds 0 To 1 whatever the host passed,
// also an array with other bounds that already holds the same captions.
void checkFeaturesByReference(IDispatch* server, VARIANT_BOOL zoomAllIn, bool sameCaptions) {
    VARIANT_BOOL diagonal = 0, zoomIn = 0, zoomOut = 0, zoomAll = zoomAllIn, panel = 0;
    Bstr help(u"old"), shortName;
    LONG topic = 5;
    SafeArray captions(sameCaptions ? stringArray({kHelpCaption, L"Hello ! 「  」"}, 1)
                                    : stringArray({L"a", L"b", L"c"}, 1));
    CallOutcome r = invoke(server, kGetSupportedFeatures, DISPATCH_METHOD,
                           {ref(&diagonal), ref(&zoomIn), ref(&zoomOut), ref(&zoomAll), ref(&panel),
                            ref(help.put()), ref(&topic), ref(shortName.put()), ref(captions.slot())});
    CHECK_HR(S_OK, r.hr);
    CHECK(r.result.vt == VT_EMPTY);
    CHECK(diagonal == VARIANT_TRUE && zoomIn == VARIANT_TRUE && zoomOut == VARIANT_TRUE);
    CHECK(panel == VARIANT_TRUE);
    CHECK(zoomAll == zoomAllIn);
    CHECK_WSTR(L"c:\\test.bmp", text(help.get()));
    CHECK(topic == -1);
    CHECK_WSTR(L"VAMU Mapserver", text(shortName.get()));
    CHECK(lowerBound(captions.get()) == 0 && upperBound(captions.get()) == 1);
    const std::vector<std::wstring> items = arrayItems(captions.get());
    CHECK(items.size() == 2 && items[0] == kHelpCaption && items[1] == L"Hello ! 「  」");
}

void checkFeaturesByReference(IDispatch* server) {
    checkFeaturesByReference(server, VARIANT_TRUE, false);
    checkFeaturesByReference(server, VARIANT_FALSE, false);
    checkFeaturesByReference(server, VARIANT_TRUE, true);
}

// As VBScript passes its variables: references to VARIANTs, here Empty or
// of another type, which come back in the parameters' types; the captions
// as an array of Variants holding the strings, which a script can index.
void checkFeaturesByVariant(IDispatch* server) {
    {
        Variant v[9];
        v[3] = Variant::i2(1);
        CHECK_HR(S_OK, invoke(server, kGetSupportedFeatures, DISPATCH_METHOD, refs(v)).hr);
        CHECK(v[0].type() == VT_BOOL && v[0].ref().boolVal == VARIANT_TRUE);
        CHECK(v[3].type() == VT_BOOL && v[3].ref().boolVal == VARIANT_TRUE);  // 1 as a Boolean, kept
        CHECK(v[5].type() == VT_BSTR && text(v[5].ref().bstrVal) == L"c:\\test.bmp");
        CHECK(v[6].type() == VT_I4 && v[6].ref().lVal == -1);
        CHECK(v[8].type() == (VT_ARRAY | VT_VARIANT));
        if (v[8].type() == (VT_ARRAY | VT_VARIANT)) {
            SAFEARRAY* captions = v[8].ref().parray;
            CHECK(lowerBound(captions) == 0 && upperBound(captions) == 1);
            VARIANT* items = nullptr;
            if (SUCCEEDED(SafeArrayAccessData(captions, reinterpret_cast<void**>(&items)))) {
                CHECK(items[0].vt == VT_BSTR && text(items[0].bstrVal) == kHelpCaption);
                CHECK(items[1].vt == VT_BSTR && text(items[1].bstrVal) == L"Hello ! 「  」");
                SafeArrayUnaccessData(captions);
            }
        }
    }

    // A VARIANT that held a string array gets a string array back.
    Variant v[9];
    v[8].get()->vt = VT_ARRAY | VT_BSTR;
    v[8].get()->parray = stringArray({L"a", L"b", L"c"}, 1);
    CHECK_HR(S_OK, invoke(server, kGetSupportedFeatures, DISPATCH_METHOD, refs(v)).hr);
    CHECK(v[8].type() == (VT_ARRAY | VT_BSTR) && lowerBound(v[8].ref().parray) == 0 &&
          arrayItems(v[8].ref().parray).at(0) == kHelpCaption);
}

// As a client that passes values: nothing can come back, but the call works.
void checkFeaturesByValue(IDispatch* server) {
    const Bstr help(u"h"), shortName(u"s");
    const SafeArray captions(stringArray({L"x"}, 3));
    VARIANT boolean = value(LONG{0}), array;
    VariantInit(&array);
    array.vt = VT_ARRAY | VT_BSTR;
    array.parray = captions.get();  // borrowed: a value argument stays the caller's
    CallOutcome r = invoke(server, kGetSupportedFeatures, DISPATCH_METHOD,
                           {boolean, boolean, boolean, boolean, boolean, bstrValue(help.get()), value(1.0),
                            bstrValue(shortName.get()), array});
    CHECK_HR(S_OK, r.hr);
    CHECK(lowerBound(captions.get()) == 3 && arrayItems(captions.get()) == std::vector<std::wstring>{L"x"});
}

void checkCountsAndTypes(IDispatch* server) {
    VARIANT_BOOL b = 0;
    std::vector<VARIANT> eight(8, ref(&b));
    CHECK_HR(DISP_E_BADPARAMCOUNT, invoke(server, kGetSupportedFeatures, DISPATCH_METHOD, eight).hr);
    CHECK_HR(DISP_E_BADPARAMCOUNT, call(server, L"ZoomIn").hr);
    CHECK_HR(DISP_E_BADPARAMCOUNT, call(server, L"SafeCall", {value(1.0)}).hr);

    // lngHelpTopic (the seventh) as a String variable: index 2 in rgvarg.
    Bstr s;
    SafeArray a;
    CallOutcome r = invoke(server, kGetSupportedFeatures, DISPATCH_METHOD,
                           {ref(&b), ref(&b), ref(&b), ref(&b), ref(&b), ref(s.put()), ref(s.put()),
                            ref(s.put()), ref(a.slot())});
    CHECK_HR(DISP_E_TYPEMISMATCH, r.hr);
    CHECK(r.argErr == 2);

    Variant word = Variant::string(u"north");
    IDispatch* nothing = nullptr;
    double x = 0;
    r = call(server, L"DrawMapFromCentre", {ref(&nothing), ref(&x), ref(word.get())});
    CHECK_HR(DISP_E_TYPEMISMATCH, r.hr);
    CHECK(r.argErr == 0);
    r = call(server, L"ZoomIn", {word.ref()});
    CHECK_HR(DISP_E_TYPEMISMATCH, r.hr);
    CHECK(r.argErr == 0);

    r = call(server, L"SpecialMenuOption", {value(nothing), value(LONG{70000})});
    CHECK_HR(DISP_E_OVERFLOW, r.hr);
    CHECK(r.argErr == 0);
}

void checkMembersAndNamedArgs(IDispatch* server) {
    IDispatch* nothing = nullptr;
    CHECK_HR(DISP_E_NONAMEDARGS, invoke(server, 0x6003000C, DISPATCH_METHOD, {ref(&nothing)}, {0}).hr);
    CHECK_HR(DISP_E_PARAMNOTFOUND,
             invoke(server, 0x40030003, DISPATCH_PROPERTYPUT, {value(1.0)}, {DISPID_VALUE}).hr);
    CHECK_HR(DISP_E_MEMBERNOTFOUND, invoke(server, 0x6003000C, DISPATCH_PROPERTYPUT, {ref(&nothing)}).hr);
    CHECK_HR(DISP_E_MEMBERNOTFOUND, invoke(server, 0x12345, DISPATCH_METHOD, {}).hr);
    DISPPARAMS none{};
    CHECK_HR(DISP_E_UNKNOWNINTERFACE,
             server->Invoke(0x60030004, IID_IDispatch, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
}

// Calls no client should make, refused with the HRESULT the system's own
// dispatcher gives, never run and never a crash: arrays missing for their
// counts, flags without a kind, a put-ref of a String property, a put
// without its named argument, a NaN or an infinity for an Integer.
void checkMalformedCalls(IDispatch* server) {
    constexpr DISPID kStrMapName = 0x40030004, kZoomIn = 0x6003000C, kSpecialMenuOption = 0x6003000A;
    const Bstr name(u"Kanto");
    VARIANT arg = bstrValue(name.get());
    DISPPARAMS noNames{&arg, nullptr, 1, 1};
    CHECK_HR(E_INVALIDARG, server->Invoke(kStrMapName, IID_NULL, 0, DISPATCH_PROPERTYPUT, &noNames, nullptr,
                                          nullptr, nullptr));
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS noArgs{nullptr, &put, 1, 1};
    CHECK_HR(E_INVALIDARG, server->Invoke(kStrMapName, IID_NULL, 0, DISPATCH_PROPERTYPUT, &noArgs, nullptr,
                                          nullptr, nullptr));
    DISPID names[2] = {DISPID_PROPERTYPUT, 0};
    DISPPARAMS moreNames{&arg, names, 1, 2};
    CHECK_HR(E_INVALIDARG, server->Invoke(kStrMapName, IID_NULL, 0, DISPATCH_PROPERTYPUT, &moreNames, nullptr,
                                          nullptr, nullptr));
    CHECK_HR(DISP_E_PARAMNOTFOUND, invoke(server, kStrMapName, DISPATCH_PROPERTYPUT, {arg}).hr);
    CHECK_HR(DISP_E_MEMBERNOTFOUND,
             invoke(server, kStrMapName, DISPATCH_PROPERTYPUTREF, {arg}, {DISPID_PROPERTYPUT}).hr);
    CHECK_WSTR(L"", text(get(server, L"strMapName").result.bstrVal));  // nothing was put

    IDispatch* nothing = nullptr;
    CHECK_HR(DISP_E_MEMBERNOTFOUND, invoke(server, kZoomIn, 0, {ref(&nothing)}).hr);
    CHECK_HR(DISP_E_MEMBERNOTFOUND, invoke(server, kZoomIn, 0x10, {ref(&nothing)}).hr);
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity(), 1e10}) {
        CallOutcome r = invoke(server, kSpecialMenuOption, DISPATCH_METHOD, {value(nothing), value(bad)});
        CHECK_HR(DISP_E_OVERFLOW, r.hr);
        CHECK(r.argErr == 0);
    }
}

// A LockServer(FALSE) without a lock does not count below zero: the lock
// taken afterwards keeps the DLL loaded.
void checkLockCount() {
    CLSID clsid{};
    CHECK_HR(S_OK, CLSIDFromProgID(L"vamuMapserver.clsMapServ", &clsid));
    ComPtr<IClassFactory> factory;
    CHECK_HR(S_OK,
             CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.putVoid()));
    if (!factory) return;
    CHECK_HR(S_OK, factory.get()->LockServer(FALSE));
    CHECK_HR(S_OK, factory.get()->LockServer(FALSE));
    CHECK_HR(S_OK, factory.get()->LockServer(TRUE));
    factory = ComPtr<IClassFactory>();
    CHECK_HR(S_FALSE, dllCanUnloadNow());
    CHECK_HR(S_OK,
             CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.putVoid()));
    if (factory) CHECK_HR(S_OK, factory.get()->LockServer(FALSE));
}

void checkProperties(IDispatch* server) {
    CallOutcome r = get(server, L"strServerName");
    CHECK_HR(S_OK, r.hr);
    CHECK(r.result.vt == VT_BSTR && text(r.result.bstrVal).empty());
    Bstr name(u"Kanto");
    CHECK_HR(S_OK, put(server, L"strMapName", bstrValue(name.get())).hr);
    CHECK_HR(S_OK, put(server, L"strServerName", ref(name.put())).hr);
    r = invoke(server, 0x40030004, DISPATCH_METHOD, {});  // a script reads it as a call
    CHECK(r.result.vt == VT_BSTR && text(r.result.bstrVal) == L"Kanto");
    CHECK_WSTR(L"Kanto", text(get(server, L"strServerName").result.bstrVal));
    CHECK_HR(S_OK, put(server, L"strServerName", value(LONG{42})).hr);
    CHECK_WSTR(L"42", text(get(server, L"strServerName").result.bstrVal));
    CHECK_HR(DISP_E_BADPARAMCOUNT, invoke(server, 0x40030003, DISPATCH_PROPERTYGET, {value(1.0)}).hr);
}

void checkErrorReports(IDispatch* server) {
    CallOutcome r = call(server, L"SafeCall");
    CHECK_HR(DISP_E_EXCEPTION, r.hr);
    CHECK_HR(kObjectNotSet, r.scode());
    CHECK_WSTR(L"vamuMapserver", r.source());
    CHECK_WSTR(L"Object variable or With block variable not set", r.description());
    DISPPARAMS none{};
    CHECK_HR(kObjectNotSet,
             server->Invoke(0x60030004, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
}

void checkArraysLeftAlone(IDispatch* server) {
    SafeArray views(stringArray({L"home", L"club"}, 1));
    SAFEARRAY* before = views.get();
    CHECK_HR(S_OK, call(server, L"LoadFavouriteViews", {ref(views.slot())}).hr);
    CHECK(views.get() == before && lowerBound(views.get()) == 1);

    Variant scripted = arrayVariant(VT_VARIANT);
    SAFEARRAY* scriptArray = scripted.ref().parray;
    CHECK_HR(S_OK, call(server, L"LoadFavouriteViews", {ref(scripted.get())}).hr);
    CHECK(scripted.type() == (VT_ARRAY | VT_VARIANT) && scripted.ref().parray == scriptArray);

    Variant numbers = arrayVariant(VT_I4);
    CHECK_HR(DISP_E_TYPEMISMATCH, call(server, L"LoadFavouriteViews", {ref(numbers.get())}).hr);
}

void checkMenuBeforeInitialize(IDispatch* server) {
    MessageBoxWatch boxes;
    IDispatch* nothing = nullptr;
    SHORT index = 2;
    CallOutcome r = call(server, L"SpecialMenuOption", {ref(&nothing), refI2(&index)});
    CHECK_HR(S_OK, r.hr);
    CHECK(r.isFalse());
    CHECK(boxes.take().empty());
    index = 0;
    r = call(server, L"SpecialMenuOption", {ref(&nothing), refI2(&index)});
    CHECK(r.isFalse());
    const std::vector<SeenMessageBox> seen = boxes.take();
    CHECK(seen.size() == 1);
    if (!seen.empty()) {
        CHECK_WSTR(L"Welcome!! ", seen[0].title);
        CHECK_WSTR(L"さん、こんにちは\r\nProAtlas", seen[0].text.substr(0, 18));
    }
}

// Zooming needs the panel, whose load needs the host's automation class,
// which this process does not offer.
void checkZoomWithoutHost(IDispatch* server) {
    IDispatch* nothing = nullptr;
    CallOutcome r = call(server, L"ZoomIn", {ref(&nothing)});
    CHECK_HR(DISP_E_EXCEPTION, r.hr);
    std::printf("ZoomIn without host: %s %s\n", hex(r.scode()).c_str(), narrow(r.description()).c_str());
}

void checkVtable(IDispatch* server) {
    ComPtr<_clsMapServ> dual;
    CHECK_HR(S_OK, server->QueryInterface(IID__clsMapServ, dual.putVoid()));
    if (!dual) return;
    VARIANT_BOOL b[5] = {};
    Bstr help, shortName;
    LONG topic = 0;
    SafeArray captions;
    CHECK_HR(E_POINTER, dual->GetSupportedFeatures(&b[0], &b[1], &b[2], &b[3], nullptr, help.put(), &topic,
                                                   shortName.put(), captions.slot()));
    CHECK_HR(S_OK, dual->GetSupportedFeatures(&b[0], &b[1], &b[2], &b[3], &b[4], help.put(), &topic,
                                              shortName.put(), captions.slot()));
    CHECK(b[4] == VARIANT_TRUE && topic == -1 && captions.get() && upperBound(captions.get()) == 1);

    CHECK_HR(kObjectNotSet, dual->SafeCall());
    ComPtr<IErrorInfo> error;
    CHECK_HR(S_OK, GetErrorInfo(0, error.put()));
    if (error) {
        Bstr description, source;
        error->GetDescription(description.put());
        error->GetSource(source.put());
        CHECK_WSTR(L"Object variable or With block variable not set", text(description.get()));
        CHECK_WSTR(L"vamuMapserver", text(source.get()));
    }
    ComPtr<ISupportErrorInfo> supports;
    CHECK_HR(S_OK, server->QueryInterface(IID_ISupportErrorInfo, supports.putVoid()));
    if (supports) {
        CHECK_HR(S_OK, supports->InterfaceSupportsErrorInfo(IID__clsMapServ));
        CHECK_HR(S_FALSE, supports->InterfaceSupportsErrorInfo(IID_IDispatch));
    }
}

GUID typeGuid(ITypeInfo* info) {
    GUID guid{};
    TYPEATTR* attr = nullptr;
    if (info && SUCCEEDED(info->GetTypeAttr(&attr))) {
        guid = attr->guid;
        info->ReleaseTypeAttr(attr);
    }
    return guid;
}

void checkTypeInfo(IDispatch* server) {
    UINT count = 0;
    server->GetTypeInfoCount(&count);
    CHECK(count == 1);
    ComPtr<ITypeInfo> info;
    CHECK_HR(S_OK, server->GetTypeInfo(0, 0, info.put()));
    CHECK(IsEqualGUID(typeGuid(info.get()), IID__clsMapServ));
    CHECK_HR(DISP_E_BADINDEX, server->GetTypeInfo(1, 0, info.put()));
    ComPtr<IProvideClassInfo> provide;
    CHECK_HR(S_OK, server->QueryInterface(IID_IProvideClassInfo, provide.putVoid()));
    if (provide) {
        CHECK_HR(S_OK, provide->GetClassInfo(info.put()));
        CHECK(IsEqualGUID(typeGuid(info.get()), CLSID_clsMapServ));
    }
}

// The dual interface's own description in the type library, on which the
// system's dispatcher works.
ComPtr<ITypeInfo> vtableTypeInfo(IDispatch* server) {
    ComPtr<ITypeInfo> info;
    if (FAILED(server->GetTypeInfo(0, 0, info.put())) || !info) return nullptr;
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr)) || !attr) return nullptr;
    const bool dispatchOnly = attr->typekind == TKIND_DISPATCH;
    info->ReleaseTypeAttr(attr);
    if (!dispatchOnly) return info;
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> vtable;
    if (FAILED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) ||
        FAILED(info->GetRefTypeInfo(ref, vtable.put())))
        return nullptr;
    return vtable;
}

// A put of strMapName with the given names and number of arguments,
// answered by the server's Invoke and by oleaut32's ITypeInfo::Invoke on the
// server's type library and vtable, each on an object of its own. The
// arrays hold at least one entry more than their counts say.
std::pair<HRESULT, HRESULT> putBoth(std::vector<DISPID> names, UINT args) {
    constexpr DISPID kStrMapName = 0x40030004;
    const Bstr name(u"Kanto");
    const auto namedCount = static_cast<UINT>(names.size());
    std::vector<VARIANT> values(std::max<std::size_t>(args, names.size()) + 1, bstrValue(name.get()));
    names.push_back(DISPID_UNKNOWN);
    DISPPARAMS params{values.data(), names.data(), args, namedCount};
    HRESULT ours = E_UNEXPECTED, system = E_UNEXPECTED;
    if (ComPtr<IDispatch> server = createByProgId(L"vamuMapserver.clsMapServ")) {
        ours = server->Invoke(kStrMapName, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                              nullptr);
    }
    if (ComPtr<IDispatch> server = createByProgId(L"vamuMapserver.clsMapServ")) {
        ComPtr<_clsMapServ> dual;
        const ComPtr<ITypeInfo> info = vtableTypeInfo(server.get());
        if (info && SUCCEEDED(server->QueryInterface(IID__clsMapServ, dual.putVoid()))) {
            EXCEPINFO excep{};
            UINT argErr = 0;
            system = info->Invoke(dual.get(), kStrMapName, DISPATCH_PROPERTYPUT, &params, nullptr, &excep,
                                  &argErr);
            SysFreeString(excep.bstrDescription);
            SysFreeString(excep.bstrSource);
            SysFreeString(excep.bstrHelpFile);
        }
    }
    return {ours, system};
}

// The refusals of named arguments are those of the system's dispatcher on
// the same type library, measured here: more names than arguments
// E_INVALIDARG, a put whose names are not DISPID_PROPERTYPUT alone
// DISP_E_PARAMNOTFOUND. Where Wine's dispatcher takes a put with an
// argument too many (and drops it), the server refuses it as a call with a
// named argument too many or an argument too many.
void checkNamedArgsAsTheSystem(IDispatch*) {
    constexpr DISPID kPut = DISPID_PROPERTYPUT;
    struct Shape {
        std::vector<DISPID> names;
        UINT args;
        HRESULT expected;
        bool sameAsSystem;
    };
    const Shape shapes[] = {
        {{kPut, 0}, 1, E_INVALIDARG, true},
        {{0, kPut}, 1, E_INVALIDARG, true},
        {{kPut, kPut}, 1, E_INVALIDARG, true},
        {{kPut}, 0, E_INVALIDARG, true},
        {{DISPID_VALUE}, 1, DISP_E_PARAMNOTFOUND, true},
        {{5}, 1, DISP_E_PARAMNOTFOUND, true},
        {{0, kPut}, 2, DISP_E_PARAMNOTFOUND, true},
        {{DISPID_VALUE}, 2, DISP_E_PARAMNOTFOUND, true},
        {{kPut, 0}, 2, DISP_E_NONAMEDARGS, false},
        {{kPut}, 2, DISP_E_BADPARAMCOUNT, false},
    };
    for (const Shape& shape : shapes) {
        const auto [ours, system] = putBoth(shape.names, shape.args);
        std::string names;
        for (const DISPID id : shape.names) names += std::to_string(id) + " ";
        std::printf("put, names %sfor %u argument(s): oleaut32 %s, server %s\n", names.c_str(), shape.args,
                    hex(static_cast<unsigned long>(system)).c_str(),
                    hex(static_cast<unsigned long>(ours)).c_str());
        CHECK_HR(shape.expected, ours);
        if (shape.sameAsSystem) CHECK_HR(system, ours);
    }
}

void checkEventsClass() {
    ComPtr<IDispatch> events = createByProgId(L"vamuMapserver.clsMapServerEvents");
    if (!events) return;
    CHECK(idOf(events.get(), L"signalsuspend") == 0x60030003);
    double x = 1;
    CHECK_HR(S_OK,
             call(events.get(), L"SignalInformation", {ref(&x), ref(&x), ref(&x), ref(&x), ref(&x)}).hr);
    CHECK(x == 1);
    CHECK_HR(S_OK, call(events.get(), L"SignalCallsignData").hr);
    CHECK_HR(DISP_E_BADPARAMCOUNT, call(events.get(), L"SignalSuspend", std::vector<VARIANT>(6, ref(&x))).hr);
    CHECK_HR(DISP_E_NONAMEDARGS, invoke(events.get(), 0x60030002, DISPATCH_METHOD, {ref(&x)}, {0}).hr);
    ComPtr<_clsMapServerEvents> dual;
    CHECK_HR(S_OK, events->QueryInterface(IID__clsMapServerEvents, dual.putVoid()));
    if (dual) CHECK_HR(S_OK, dual->SignalSuspend(nullptr, nullptr, nullptr, nullptr, nullptr));
}

}  // namespace

void checkDispatchRules() {
    ComPtr<IDispatch> server = createByProgId(L"vamuMapserver.clsMapServ");
    if (!server) return;
    using Step = void (*)(IDispatch*);
    const std::pair<const char*, Step> steps[] = {
        {"names", checkNames},
        {"features_by_reference", checkFeaturesByReference},
        {"features_by_variant", checkFeaturesByVariant},
        {"features_by_value", checkFeaturesByValue},
        {"counts_and_types", checkCountsAndTypes},
        {"members_and_named_args", checkMembersAndNamedArgs},
        {"malformed_calls", checkMalformedCalls},
        {"properties", checkProperties},
        {"error_reports", checkErrorReports},
        {"arrays_left_alone", checkArraysLeftAlone},
        {"menu_before_initialize", checkMenuBeforeInitialize},
        {"zoom_without_host", checkZoomWithoutHost},
        {"vtable", checkVtable},
        {"type_info", checkTypeInfo},
        {"named_args_as_the_system", checkNamedArgsAsTheSystem},
    };
    for (const auto& [name, step] : steps) runCase(name, [&, step = step] { step(server.get()); });
    runCase("events_class", checkEventsClass);
    runCase("lock_count", checkLockCount);
    // The reference count itself: the test's is the only one left, and
    // its release destroys the object.
    CHECK(server.get()->AddRef() == 2);
    server.get()->Release();
    CHECK(server.detach()->Release() == 0);
    CoFreeUnusedLibraries();
    CHECK_HR(S_OK, dllCanUnloadNow());
}

}  // namespace vamu::wine_test
