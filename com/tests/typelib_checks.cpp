// The registered type library read back: identities, flags, member order,
// dispatch identifiers and parameter types. The member lists below are the
// contract a host compiled against the DLL relies on (its vtable slots and
// dispatch identifiers): they hold the members as first published, and a
// member added later must come after them, so that the lists need no change
// when one is added. That the DLL's own member rows agree with the library
// in full is checked by the DLL itself (checkTableAgreesWithTypeLibrary).

#include <string>
#include <vector>

#include "win/tests/support/check.h"
#include "client_checks.h"
#include "vamuMapserver.h"
#include "win/host/late_call.h"
#include "win/platform/bstr.h"
#include "win/platform/com_ptr.h"

namespace vamu::wine_test {
namespace {

using win::ComPtr;

constexpr USHORT kInOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;
constexpr USHORT kRetval = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
constexpr VARTYPE kArray = VT_SAFEARRAY;  // a SAFEARRAY(BSTR) parameter

struct Param {
    VARTYPE type;  // VT_BSTR and so on; kArray for a string array
    bool byReference;
    USHORT flags;
};

struct Function {
    const wchar_t* name;
    MEMBERID id;
    INVOKEKIND kind;
    std::vector<Param> params;
};

const Param S{VT_BSTR, true, kInOut}, B{VT_BOOL, true, kInOut}, D{VT_R8, true, kInOut},
    I{VT_I2, true, kInOut}, L{VT_I4, true, kInOut}, O{VT_DISPATCH, true, kInOut}, A{kArray, true, kInOut},
    R{VT_BOOL, true, kRetval}, Sput{VT_BSTR, false, PARAMFLAG_FIN}, Sget{VT_BSTR, true, kRetval},
    V{VT_VARIANT, true, PARAMFLAG_FIN | PARAMFLAG_FOUT | PARAMFLAG_FOPT};

const std::vector<Function> kMapServ = {
    {L"strServerName", 0x40030003, INVOKE_PROPERTYGET, {Sget}},
    {L"strServerName", 0x40030003, INVOKE_PROPERTYPUT, {Sput}},
    {L"strMapName", 0x40030004, INVOKE_PROPERTYGET, {Sget}},
    {L"strMapName", 0x40030004, INVOKE_PROPERTYPUT, {Sput}},
    {L"AddToFavouriteViews", 0x60030000, INVOKE_FUNC, {S}},
    {L"GetSupportedFeatures", 0x60030001, INVOKE_FUNC, {B, B, B, B, B, S, L, S, A}},
    {L"Initialize", 0x60030002, INVOKE_FUNC, {S, O, O}},
    {L"LoadFavouriteViews", 0x60030003, INVOKE_FUNC, {A}},
    {L"SafeCall", 0x60030004, INVOKE_FUNC, {}},
    {L"SaveFavouriteViews", 0x60030005, INVOKE_FUNC, {A}},
    {L"ShowControlPanel", 0x60030006, INVOKE_FUNC, {}},
    {L"DrawMapFromCentre", 0x60030007, INVOKE_FUNC, {O, D, D, R}},
    {L"DrawMapFromCorners", 0x60030008, INVOKE_FUNC, {O, D, D, D, D, R}},
    {L"ResizeMap", 0x60030009, INVOKE_FUNC, {O, D, D, D, D, R}},
    {L"SpecialMenuOption", 0x6003000A, INVOKE_FUNC, {O, I, R}},
    {L"ZoomAll", 0x6003000B, INVOKE_FUNC, {O, R}},
    {L"ZoomIn", 0x6003000C, INVOKE_FUNC, {O, R}},
    {L"ZoomOut", 0x6003000D, INVOKE_FUNC, {O, R}},
    {L"ZoomPan", 0x6003000E, INVOKE_FUNC, {O, I, R}},
};

const std::vector<Function> kEvents = {
    {L"SignalCallsignData", 0x60030000, INVOKE_FUNC, {V, V, V, V, V}},
    {L"SignalInformation", 0x60030001, INVOKE_FUNC, {V, V, V, V, V}},
    {L"SignalSpecialRedraw", 0x60030002, INVOKE_FUNC, {V, V, V, V, V}},
    {L"SignalSuspend", 0x60030003, INVOKE_FUNC, {V, V, V, V, V}},
};

std::wstring nameOf(ITypeInfo* info, MEMBERID id) {
    win::Bstr name;
    info->GetDocumentation(id, name.put(), nullptr, nullptr, nullptr);
    return text(name.get());
}

bool paramMatches(const ELEMDESC& e, const Param& p) {
    const TYPEDESC* t = &e.tdesc;
    if (p.byReference) {
        if (t->vt != VT_PTR) return false;
        t = t->lptdesc;
    }
    if (p.type == kArray)
        return t->vt == VT_SAFEARRAY && t->lptdesc->vt == VT_BSTR && e.paramdesc.wParamFlags == p.flags;
    return t->vt == p.type && e.paramdesc.wParamFlags == p.flags;
}

void checkFunction(ITypeInfo* info, UINT index, const Function& f) {
    FUNCDESC* desc = nullptr;
    CHECK_HR(S_OK, info->GetFuncDesc(index, &desc));
    if (!desc) return;
    CHECK_WSTR(f.name, nameOf(info, desc->memid));
    CHECK(desc->memid == f.id);
    CHECK(desc->invkind == f.kind);
    CHECK(desc->funckind == FUNC_PUREVIRTUAL);
    CHECK(desc->oVft == static_cast<SHORT>((7 + index) * sizeof(void*)));
    CHECK(desc->elemdescFunc.tdesc.vt == VT_HRESULT);
    CHECK(desc->cParams == static_cast<SHORT>(f.params.size()));
    for (SHORT p = 0; p < desc->cParams && p < static_cast<SHORT>(f.params.size()); ++p) {
        if (!paramMatches(desc->lprgelemdescParam[p], f.params[static_cast<std::size_t>(p)])) {
            fail(__FILE__, __LINE__, "parameter " + std::to_string(p) + " of " + narrow(f.name));
        }
    }
    info->ReleaseFuncDesc(desc);
}

// The GUID of the first type info implements (its base or its default
// interface); GUID_NULL when there is none.
GUID implementedGuid(ITypeInfo* info) {
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> implemented;
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetRefTypeOfImplType(0, &ref)) || FAILED(info->GetRefTypeInfo(ref, implemented.put())) ||
        FAILED(implemented->GetTypeAttr(&attr))) {
        return GUID_NULL;
    }
    const GUID guid = attr->guid;
    implemented->ReleaseTypeAttr(attr);
    return guid;
}

// The vtable half of a dual interface, with its flags and functions.
void checkDualInterface(ITypeLib* library, REFIID iid, const std::vector<Function>& functions) {
    ComPtr<ITypeInfo> dispatch, vtable;
    CHECK_HR(S_OK, library->GetTypeInfoOfGuid(iid, dispatch.put()));
    if (!dispatch) return;
    TYPEATTR* attr = nullptr;
    dispatch->GetTypeAttr(&attr);
    const WORD flags = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
    CHECK(attr->typekind == TKIND_DISPATCH);
    CHECK((attr->wTypeFlags & flags) == flags);
    CHECK(attr->wMajorVerNum == 1 && attr->wMinorVerNum == 0);
    dispatch->ReleaseTypeAttr(attr);
    // The flags as the library holds them: the automation flag too (0x11d0),
    // which GetTypeAttr leaves out on the dispatch half of a dual interface.
    ComPtr<ITypeInfo2> stored;
    CHECK_HR(S_OK, dispatch->QueryInterface(IID_ITypeInfo2, stored.putVoid()));
    ULONG storedFlags = 0;
    if (stored) CHECK_HR(S_OK, stored->GetTypeFlags(&storedFlags));
    CHECK(storedFlags == (flags | TYPEFLAG_FOLEAUTOMATION));

    HREFTYPE half = 0;
    CHECK_HR(S_OK, dispatch->GetRefTypeOfImplType(-1, &half));
    CHECK_HR(S_OK, dispatch->GetRefTypeInfo(half, vtable.put()));
    if (!vtable) return;
    vtable->GetTypeAttr(&attr);
    CHECK(attr->typekind == TKIND_INTERFACE);
    CHECK((attr->wTypeFlags & (flags | TYPEFLAG_FOLEAUTOMATION)) == (flags | TYPEFLAG_FOLEAUTOMATION));
    CHECK(attr->cFuncs >= functions.size());
    CHECK(attr->cbSizeVft == (7 + attr->cFuncs) * sizeof(void*));
    const UINT count = attr->cFuncs;
    vtable->ReleaseTypeAttr(attr);
    for (UINT i = 0; i < count && i < functions.size(); ++i) checkFunction(vtable.get(), i, functions[i]);

    // Derived from stdole's IDispatch.
    CHECK(IsEqualIID(implementedGuid(vtable.get()), IID_IDispatch));
}

void checkClass(ITypeLib* library, REFCLSID clsid, const wchar_t* name, REFIID defaultIid) {
    ComPtr<ITypeInfo> info;
    CHECK_HR(S_OK, library->GetTypeInfoOfGuid(clsid, info.put()));
    if (!info) return;
    CHECK_WSTR(name, nameOf(info.get(), MEMBERID_NIL));
    TYPEATTR* attr = nullptr;
    info->GetTypeAttr(&attr);
    CHECK(attr->typekind == TKIND_COCLASS);
    CHECK((attr->wTypeFlags & TYPEFLAG_FCANCREATE) != 0);
    CHECK(attr->cImplTypes == 1);
    info->ReleaseTypeAttr(attr);
    INT implFlags = 0;
    info->GetImplTypeFlags(0, &implFlags);
    CHECK((implFlags & IMPLTYPEFLAG_FDEFAULT) != 0);
    CHECK(IsEqualIID(implementedGuid(info.get()), defaultIid));
}

// The DLL compares each class's dispatch table with the type library
// (names, dispatch ids, invoke kinds, vtable slots, parameter types,
// by-reference, optional and retval flags) before it hands out its first
// object, and refuses to make one on any difference; the difference is the
// error's description.
void checkTableAgreesWithTypeLibrary(REFCLSID clsid) {
    ComPtr<IDispatch> server;
    const HRESULT hr =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, server.putVoid());
    if (SUCCEEDED(hr)) {
        ++passes();
        return;
    }
    std::wstring description;
    ComPtr<IErrorInfo> error;
    if (GetErrorInfo(0, error.put()) == S_OK) {
        win::Bstr text;
        error->GetDescription(text.put());
        description = host::text(text.get());
    }
    fail(__FILE__, __LINE__,
         std::string(IsEqualCLSID(clsid, CLSID_clsMapServ) ? "clsMapServ" : "clsMapServerEvents") +
             " was refused (" + hex(static_cast<unsigned long>(hr)) + "): " + narrow(description));
}

}  // namespace

void checkTypeLibrary() {
    ComPtr<ITypeLib> library;
    CHECK_HR(S_OK, LoadRegTypeLib(LIBID_vamuMapserver, 1, 0, 0x409, library.put()));
    if (!library) return;
    TLIBATTR* attr = nullptr;
    library->GetLibAttr(&attr);
    CHECK(IsEqualGUID(attr->guid, LIBID_vamuMapserver));
    CHECK(attr->lcid == 0x409);
    CHECK(attr->wMajorVerNum == 1 && attr->wMinorVerNum == 0);
    CHECK(attr->syskind == (sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32));
    library->ReleaseTLibAttr(attr);
    win::Bstr name;
    library->GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr);
    CHECK_WSTR(L"vamuMapserver", text(name.get()));
    CHECK(library->GetTypeInfoCount() == 4);

    checkDualInterface(library.get(), IID__clsMapServ, kMapServ);
    checkDualInterface(library.get(), IID__clsMapServerEvents, kEvents);
    checkClass(library.get(), CLSID_clsMapServ, L"clsMapServ", IID__clsMapServ);
    checkClass(library.get(), CLSID_clsMapServerEvents, L"clsMapServerEvents", IID__clsMapServerEvents);
    checkTableAgreesWithTypeLibrary(CLSID_clsMapServ);
    checkTableAgreesWithTypeLibrary(CLSID_clsMapServerEvents);
}

}  // namespace vamu::wine_test
