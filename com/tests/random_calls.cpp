// A hostile caller against a live, initialised server: random dispatch
// identifiers, flags, argument counts, named arguments and VARIANTs (by
// value and by reference, arrays, NaN, infinities, extremes, Nothing), some
// with the arrays missing. Every call must come back with an HRESULT; the
// process must survive, and the server must still draw afterwards. Then a
// long session of ordinary requests, timed per 100, with the memory in use.

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "win/tests/support/check.h"
#include "client_checks.h"
#include "com/string_array.h"
#include "win/host/host_automation.h"
#include "win/host/late_call.h"
#include "win/host/message_box_watch.h"
#include "server_access.h"
#include "win/host/host_objects.h"
#include "win/platform/bstr.h"
#include "win/platform/variant.h"

namespace vamu::wine_test {
namespace {

using com::SafeArray;
using win::Bstr;
using win::ComPtr;
using win::Variant;

constexpr DISPID kMembers[] = {0x40030003, 0x40030004, 0x60030000, 0x60030001, 0x60030002, 0x60030003,
                               0x60030004, 0x60030005, 0x60030006, 0x60030007, 0x60030008, 0x60030009,
                               0x6003000A, 0x6003000B, 0x6003000C, 0x6003000D, 0x6003000E};

// The host's objects, alive for the whole process (the plug-in keeps
// references to what it was last handed).
struct Host {
    PictureBox pic{320, 240};
    PlainObject plain;
    Form form{pic};
    Events events;
};

void makeDirectory(const std::wstring& dir) {
    std::wstring path;
    for (std::size_t i = 0; i < dir.size(); ++i) {
        path += dir[i];
        if (dir[i] == L'\\' && i > 2) CreateDirectoryW(path.c_str(), nullptr);
    }
    CreateDirectoryW((dir + L"MAPS").c_str(), nullptr);
}

bool initialise(IDispatch* server, Host& h) {
    Bstr callsign(u"JA1ZZZ");
    IDispatch* e = &h.events;
    IDispatch* f = &h.form;
    return SUCCEEDED(call(server, L"Initialize", {ref(callsign.put()), ref(&e), ref(&f)}).hr);
}

HRESULT drawCorners(IDispatch* server, Host& h) {
    IDispatch* pic = &h.pic;
    double x1 = 139.5, y1 = 35.9, x2 = 140.0, y2 = 35.5;
    return call(server, L"DrawMapFromCorners", {ref(&pic), ref(&x1), ref(&y1), ref(&x2), ref(&y2)}).hr;
}

// Storage that by-reference arguments point into, one slot per argument.
// The objects are the host's, alive for the whole process.
struct Slot {
    double r8 = 0;
    float r4 = 0;
    LONG i4 = 0;
    SHORT i2 = 0;
    VARIANT_BOOL b = VARIANT_FALSE;
    Bstr s;
    IDispatch* d = nullptr;
    SafeArray a;
    Variant v;
};

class RandomCall {
public:
    RandomCall(std::mt19937& random, Host& h) : random_(random), h_(h) {}

    HRESULT run(IDispatch* server) {
        const DISPID id =
            pick(10) == 0 ? static_cast<DISPID>(random_()) : kMembers[pick(std::size(kMembers))];
        const WORD flags = pick(4) == 0 ? static_cast<WORD>(pick(0x20)) : static_cast<WORD>(1u << pick(4));
        const UINT count = static_cast<UINT>(pick(11));
        // Every slot in place before an argument points into one.
        slots_.clear();
        slots_.resize(count);
        owned_.clear();
        owned_.resize(count);
        args_.clear();
        for (UINT i = 0; i < count; ++i) {
            fill(*owned_[i].get(), slots_[i]);
            args_.push_back(owned_[i].ref());
        }
        UINT named = pick(3) == 0 ? static_cast<UINT>(pick(3)) : 0;
        if ((flags & DISPATCH_PROPERTYPUT) && pick(2) == 0) named = 1;
        names_.assign(named, DISPID_PROPERTYPUT);
        for (DISPID& n : names_) n = pick(2) == 0 ? DISPID_PROPERTYPUT : static_cast<DISPID>(pick(12)) - 2;
        DISPPARAMS params{count ? args_.data() : nullptr, named ? names_.data() : nullptr, count, named};
        if (pick(20) == 0) params.rgvarg = nullptr;
        if (pick(20) == 0) params.rgdispidNamedArgs = nullptr;
        CallOutcome outcome;
        outcome.hr = server->Invoke(id, IID_NULL, 0, flags, &params, pick(2) ? &outcome.result : nullptr,
                                    pick(2) ? &outcome.info : nullptr, &outcome.argErr);
        // Whatever the callee left in the arguments is theirs again.
        for (std::size_t i = 0; i < args_.size(); ++i) *owned_[i].get() = args_[i];
        return outcome.hr;
    }

private:
    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

    double anyDouble() {
        static const double special[] = {std::numeric_limits<double>::quiet_NaN(),
                                         std::numeric_limits<double>::infinity(),
                                         -std::numeric_limits<double>::infinity(),
                                         std::numeric_limits<double>::max(),
                                         -std::numeric_limits<double>::max(),
                                         std::numeric_limits<double>::denorm_min(),
                                         0.0,
                                         -0.0,
                                         32767.5,
                                         -32768.5,
                                         2147483648.0,
                                         139.5,
                                         35.5};
        if (pick(3) == 0) return std::uniform_real_distribution<double>(-1000, 1000)(random_);
        return special[pick(std::size(special))];
    }

    IDispatch* anyObject() {
        switch (pick(4)) {
            case 0:
                return nullptr;
            case 1:
                return &h_.plain;
            case 2:
                return &h_.form;
            default:
                return &h_.pic;
        }
    }

    Bstr anyString() {
        static const char16_t* texts[] = {u"", u"x", u"north", u"123", u"1e400", u"地図", u"-32769"};
        return pick(8) == 0 ? Bstr() : Bstr(texts[pick(std::size(texts))]);
    }

    SafeArray anyArray(VARTYPE type) {
        SAFEARRAYBOUND bound{static_cast<ULONG>(pick(4)), static_cast<LONG>(pick(3)) - 1};
        return SafeArray(SafeArrayCreate(type, 1, &bound));
    }

    // Fills an empty VARIANT; what it holds by value is its own.
    void fill(VARIANT& v, Slot& slot, bool nested = false) {
        const bool byRef = pick(2) == 0;
        switch (pick(nested ? 10 : 11)) {
            case 0:
                v.vt = static_cast<VARTYPE>(pick(2) ? VT_EMPTY : VT_NULL);
                return;
            case 1:
                slot.i2 = static_cast<SHORT>(random_());
                v.vt = VT_I2;
                if (byRef)
                    v.piVal = &slot.i2;
                else
                    v.iVal = slot.i2;
                break;
            case 2:
                slot.i4 = static_cast<LONG>(random_());
                v.vt = VT_I4;
                if (byRef)
                    v.plVal = &slot.i4;
                else
                    v.lVal = slot.i4;
                break;
            case 3:
                slot.r8 = anyDouble();
                v.vt = VT_R8;
                if (byRef)
                    v.pdblVal = &slot.r8;
                else
                    v.dblVal = slot.r8;
                break;
            case 4:
                slot.r4 = static_cast<float>(anyDouble());
                v.vt = VT_R4;
                if (byRef)
                    v.pfltVal = &slot.r4;
                else
                    v.fltVal = slot.r4;
                break;
            case 5:
                slot.b = pick(2) ? VARIANT_TRUE : VARIANT_FALSE;
                v.vt = VT_BOOL;
                if (byRef)
                    v.pboolVal = &slot.b;
                else
                    v.boolVal = slot.b;
                break;
            case 6:
                slot.s = anyString();
                v.vt = VT_BSTR;
                if (byRef)
                    v.pbstrVal = slot.s.put();
                else
                    v.bstrVal = SysAllocString(slot.s.get());
                break;
            case 7:
                slot.d = anyObject();
                v.vt = VT_DISPATCH;
                if (byRef) {
                    v.ppdispVal = &slot.d;
                } else {
                    v.pdispVal = slot.d;
                    if (slot.d) slot.d->AddRef();  // the VARIANT's own reference
                }
                break;
            case 8: {
                const VARTYPE type = pick(2) ? VT_BSTR : VT_VARIANT;
                slot.a = anyArray(type);
                v.vt = static_cast<VARTYPE>(VT_ARRAY | type);
                if (byRef)
                    v.pparray = slot.a.slot();
                else
                    SafeArrayCopy(slot.a.get(), &v.parray);
                break;
            }
            case 9:
                v.vt = VT_ERROR;
                v.scode = DISP_E_PARAMNOTFOUND;
                return;
            default:
                fill(*slot.v.get(), slot, true);  // a VARIANT in a VARIANT, by reference
                v.vt = VT_BYREF | VT_VARIANT;
                v.pvarVal = slot.v.get();
                return;
        }
        if (byRef) v.vt |= VT_BYREF;
    }

    std::mt19937& random_;
    Host& h_;
    std::vector<Variant> owned_;
    std::vector<VARIANT> args_;
    std::vector<Slot> slots_;
    std::vector<DISPID> names_;
};

struct Session {
    explicit Session(const std::wstring& dir) : host((makeDirectory(dir), dir)) {}
    HostAutomationClass host;
    MessageBoxWatch boxes;
    Host* h = new Host;  // see Host
    ComPtr<IDispatch> server = createByProgId(L"vamuMapserver.clsMapServ");
};

double residentMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

}  // namespace

void randomCalls(long count, const std::wstring& dir) {
    Session s(dir);
    if (!s.server) return;
    CHECK(initialise(s.server.get(), *s.h));
    CHECK_HR(S_OK, drawCorners(s.server.get(), *s.h));
    std::mt19937 random(20240315);
    RandomCall caller(random, *s.h);
    std::map<HRESULT, long> outcomes;
    for (long i = 0; i < count; ++i) {
        ++outcomes[caller.run(s.server.get())];
        s.boxes.take();
    }
    for (const auto& [hr, n] : outcomes)
        std::printf("  0x%08lX  %ld calls\n", static_cast<unsigned long>(hr), n);
    // Still alive and still drawing, after whatever the calls did to it.
    CHECK(initialise(s.server.get(), *s.h));
    CHECK_HR(S_OK, drawCorners(s.server.get(), *s.h));
}

void soakRequests(long count, const std::wstring& dir) {
    Session s(dir);
    if (!s.server) return;
    CHECK(initialise(s.server.get(), *s.h));
    IDispatch* pic = &s.h->pic;
    std::printf("%8s %14s %10s\n", "requests", "ms/request", "RSS MB");
    LARGE_INTEGER frequency, from, to;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&from);
    for (long i = 1; i <= count; ++i) {
        SHORT pan = static_cast<SHORT>(i % 2 ? 6 : 9);
        double x = 139.7, y = 35.6;
        switch (i % 6) {
            case 0:
                CHECK_HR(S_OK, drawCorners(s.server.get(), *s.h));
                break;
            case 1:
                CHECK_HR(S_OK, call(s.server.get(), L"DrawMapFromCentre", {ref(&pic), ref(&x), ref(&y)}).hr);
                break;
            case 2:
                CHECK_HR(S_OK, call(s.server.get(), L"ZoomIn", {ref(&pic)}).hr);
                break;
            case 4:
                CHECK_HR(S_OK, call(s.server.get(), L"ZoomOut", {ref(&pic)}).hr);
                break;
            default:
                CHECK_HR(S_OK, call(s.server.get(), L"ZoomPan", {ref(&pic), refI2(&pan)}).hr);
                break;
        }
        s.h->form.caption = L"UI-View32";  // the host's own caption handling
        s.h->events.information.clear();
        s.h->events.redraws.clear();
        s.boxes.take();
        if (i % 100 == 0) {
            QueryPerformanceCounter(&to);
            const double ms = 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
                              static_cast<double>(frequency.QuadPart) / 100.0;
            std::printf("%8ld %14.3f %10.1f\n", i, ms, residentMegabytes());
            QueryPerformanceCounter(&from);
        }
    }
}

}  // namespace vamu::wine_test
