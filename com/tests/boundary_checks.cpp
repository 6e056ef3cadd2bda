// The COM boundary of clsMapServ with a core that throws an exception that
// is not a RuntimeError: every vtable method and every member through
// IDispatch::Invoke answers E_UNEXPECTED with error info, and nothing
// crashes. Then the generated object with a working core: its identities,
// reference counts and slots. The object is driven directly, without
// registration; the program prints each case, "boundary: N passed, N
// failed" and exits non-zero on a failure.

#include <windows.h>
#include <oaidl.h>

#include <array>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "com/map_serv_members.h"
#include "com/map_serv_object.h"
#include "com/prefetch_entry.h"
#include "com/string_array.h"
#include "engine/module.h"
#include "win/platform/bstr.h"
#include "win/platform/com_ptr.h"
#include "win/platform/variant.h"
#include "win/tests/support/check.h"
#include "win/win_platform.h"

namespace vamu::wine_test {
namespace {

using win::Bstr;
using win::ComPtr;

constexpr wchar_t kDescription[] = L"Unexpected failure: core failure";

class ThrowingCore final : public com::MapServObject {
public:
    using MapServObject::MapServObject;
    com::MapServRequests& requests() override { throw std::logic_error("core failure"); }
};

std::wstring textOf(const Bstr& text) { return text.get() ? text.get() : L""; }

std::wstring takeText(BSTR& text) { return textOf(Bstr::attach(std::exchange(text, nullptr))); }

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
    Bstr text;
    error->GetDescription(text.put());
    CHECK_WSTR(kDescription, textOf(text));
}

// One caller's variable of each type, passed by reference as VB passes it.
struct Variables {
    Bstr text;
    VARIANT_BOOL boolean = VARIANT_FALSE;
    double real = 0;
    SHORT integer = 0;
    LONG longInt = 0;
    IDispatch* object = nullptr;
    com::SafeArray array;

    // A string by value is a null BSTR; a string array is VT_ARRAY | VT_BSTR.
    VARIANTARG argFor(VARTYPE type) {
        VARIANTARG v{};
        v.vt = type;
        if (!(type & VT_BYREF)) return v;
        const std::pair<VARTYPE, void*> variables[] = {{VT_BSTR, text.put()},
                                                       {VT_BOOL, &boolean},
                                                       {VT_R8, &real},
                                                       {VT_I2, &integer},
                                                       {VT_I4, &longInt},
                                                       {VT_DISPATCH, &object},
                                                       {VT_ARRAY | VT_BSTR, array.slot()}};
        for (const auto& [variableType, variable] : variables) {
            if ((type & ~VT_BYREF) == variableType) v.byref = variable;
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

// Every generated vtable method, found by its row as a host compiled
// against the IDL finds it (slot 7 + row index), called through the system's
// DispCallFunc with a variable of each parameter's type.
void checkEveryVtableMethod(_clsMapServ* s) {
    const auto members = com::mapServMembers();
    for (std::size_t index = 0; index < members.size(); ++index) {
        const com::DispatchMember& m = members[index];
        Variables variables;
        std::array<VARIANTARG, com::kMaxParams + 1> args{};
        std::array<VARIANTARG*, com::kMaxParams + 1> argPointers{};
        std::array<VARTYPE, com::kMaxParams + 1> types{};
        std::size_t n = 0;
        for (; n < m.count; ++n) args[n] = variables.argFor(m.params[n]);
        if (m.result != VT_EMPTY) args[n++] = variables.argFor(static_cast<VARTYPE>(VT_BYREF | m.result));
        for (std::size_t k = 0; k < n; ++k) {
            types[k] = args[k].vt;
            argPointers[k] = &args[k];
        }
        win::Variant returned;
        const HRESULT called =
            DispCallFunc(s, (7 + index) * sizeof(void*), CC_STDCALL, VT_ERROR, static_cast<UINT>(n),
                         types.data(), argPointers.data(), returned.get());
        const std::string what = narrow(reinterpret_cast<const wchar_t*>(m.name));
        if (called != S_OK) {
            fail(__FILE__, __LINE__,
                 "DispCallFunc " + what + " gave " + hex(static_cast<unsigned long>(called)));
            continue;
        }
        checkVtableCall(what.c_str(), returned.ref().scode);
    }
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
        win::Variant result;
        const HRESULT hr =
            object->Invoke(m.id, IID_NULL, 0x409, flagsFor(m.kind), &params, result.get(), &info, nullptr);
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
    }
}

IUnknown* identityOf(IUnknown* from) {
    ComPtr<IUnknown> identity;
    CHECK_HR(S_OK, from->QueryInterface(IID_IUnknown, identity.putVoid()));
    return identity.get();  // still held by the object's other references
}

// The reference count itself, read by a balanced AddRef and Release.
ULONG countOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// The generated interface as one object with its other interfaces: one
// IUnknown whichever interface is asked, every interface reachable from
// every other, QueryInterface's failures as COM has them, and the count
// shared by all of them and back where it started.
void checkIdentities(_clsMapServ* dual) {
    const ULONG before = countOf(dual);
    ComPtr<IDispatch> dispatch;
    ComPtr<ISupportErrorInfo> supports;
    ComPtr<IProvideClassInfo> provide;
    CHECK_HR(S_OK, dual->QueryInterface(IID_IDispatch, dispatch.putVoid()));
    CHECK_HR(S_OK, dual->QueryInterface(IID_ISupportErrorInfo, supports.putVoid()));
    CHECK_HR(S_OK, dual->QueryInterface(IID_IProvideClassInfo, provide.putVoid()));
    if (!dispatch || !supports || !provide) return;
    CHECK(static_cast<IUnknown*>(dispatch.get()) == static_cast<IUnknown*>(dual));
    CHECK(identityOf(dual) == static_cast<IUnknown*>(dual));
    CHECK(identityOf(supports.get()) == static_cast<IUnknown*>(dual));
    CHECK(identityOf(provide.get()) == static_cast<IUnknown*>(dual));
    ComPtr<_clsMapServ> back;
    CHECK_HR(S_OK, provide->QueryInterface(IID__clsMapServ, back.putVoid()));
    CHECK(back.get() == dual);
    CHECK(countOf(supports.get()) == before + 4);

    void* none = dual;
    CHECK_HR(E_NOINTERFACE, dual->QueryInterface(IID_IClassFactory, &none));
    CHECK(none == nullptr);
    CHECK_HR(E_POINTER, supports->QueryInterface(IID_IUnknown, nullptr));
    back.reset();
    dispatch.reset();
    supports.reset();
    provide.reset();
    CHECK(countOf(dual) == before);
}

// Each generated slot reaches its own request: the two properties are
// told apart through the vtable, a method's arguments arrive in their
// places, and a null argument is E_POINTER with error info.
void checkSlotsReachTheirRequests(_clsMapServ* dual) {
    const Bstr server(u"server name"), map(u"map name");
    CHECK_HR(S_OK, dual->put_strServerName(server.get()));
    CHECK_HR(S_OK, dual->put_strMapName(map.get()));
    Bstr serverRead, mapRead;
    CHECK_HR(S_OK, dual->get_strServerName(serverRead.put()));
    CHECK_WSTR(L"server name", textOf(serverRead));
    CHECK_HR(S_OK, dual->get_strMapName(mapRead.put()));
    CHECK_WSTR(L"map name", textOf(mapRead));

    VARIANT_BOOL b[5] = {};
    Bstr help, shortName;
    LONG topic = 0;
    com::SafeArray captions;
    CHECK_HR(S_OK, dual->GetSupportedFeatures(&b[0], &b[1], &b[2], &b[3], &b[4], help.put(), &topic,
                                              shortName.put(), captions.slot()));
    CHECK(topic == -1 && captions.get() != nullptr && shortName.get() != nullptr);

    CHECK_HR(E_POINTER, dual->get_strMapName(nullptr));
    ComPtr<IErrorInfo> error;
    CHECK_HR(S_OK, GetErrorInfo(0, error.put()));
}

// The prefetch entry point on a thread that never made the map server, and
// with null pointers: a failure with error info, never a crash.
void checkPrefetchEntryRefusals() {
    const VamuPrefetchArea area{139.70, 35.65, 139.75, 35.70, 6, 8};
    VamuPrefetchReport report{};
    CHECK_HR(E_POINTER, com::prefetchTiles(nullptr, nullptr, nullptr, &report));
    CHECK_HR(E_POINTER, com::prefetchTiles(&area, nullptr, nullptr, nullptr));
    CHECK_HR(static_cast<HRESULT>(0x800A005B), com::prefetchTiles(&area, nullptr, nullptr, &report));
    ComPtr<IErrorInfo> error;
    CHECK_HR(S_OK, GetErrorInfo(0, error.put()));
    CHECK(report.total == 0 && report.done == 0);
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
        const auto server = win::ComPtr<_clsMapServ>::attach(object->dual());
        wine_test::runCase("every_vtable_method", [&] { wine_test::checkEveryVtableMethod(server.get()); });
        wine_test::runCase("every_invoke", [&] { wine_test::checkEveryInvoke(server.get()); });

        const auto working = win::ComPtr<_clsMapServ>::attach((new com::MapServObject(module))->dual());
        wine_test::runCase("identities", [&] { wine_test::checkIdentities(working.get()); });
        wine_test::runCase("slots_reach_their_requests",
                           [&] { wine_test::checkSlotsReachTheirRequests(working.get()); });
    }
    wine_test::runCase("prefetch_entry_refusals", [] { wine_test::checkPrefetchEntryRefusals(); });
    CoUninitialize();
    return wine_test::report("boundary");
}
