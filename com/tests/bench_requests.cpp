// The cost of one request round trip through IDispatch::Invoke, next to the
// same request through the dual interface's vtable.

#include <cstdio>

#include "win/tests/support/check.h"
#include "client_checks.h"
#include "com/string_array.h"
#include "server_access.h"
#include "vamuMapserver.h"
#include "win/host/late_call.h"
#include "win/platform/bstr.h"

namespace vamu::wine_test {
namespace {

double seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class Request>
void time(const char* label, long iterations, Request request) {
    LARGE_INTEGER from, to;
    QueryPerformanceCounter(&from);
    for (long i = 0; i < iterations; ++i) request();
    QueryPerformanceCounter(&to);
    std::printf("%-44s %9.0f ns per call (%ld calls)\n", label, seconds(from, to) * 1e9 / iterations,
                iterations);
}

// The caller's variables, each call's answers replacing the last ones.
struct Features {
    VARIANT_BOOL b[5] = {};
    win::Bstr help, shortName;
    LONG topic = 0;
    com::SafeArray captions;
};

}  // namespace

void benchRequests(long iterations) {
    win::ComPtr<IDispatch> server = createByProgId(L"vamuMapserver.clsMapServ");
    win::ComPtr<_clsMapServ> dual;
    if (!server || FAILED(server->QueryInterface(IID__clsMapServ, dual.putVoid()))) return;
    Features f;
    const DISPID id = idOf(server.get(), L"GetSupportedFeatures");
    time("GetSupportedFeatures, Invoke by dispid", iterations, [&] {
        CallOutcome r =
            invoke(server.get(), id, DISPATCH_METHOD,
                   {ref(&f.b[0]), ref(&f.b[1]), ref(&f.b[2]), ref(&f.b[3]), ref(&f.b[4]), ref(f.help.put()),
                    ref(&f.topic), ref(f.shortName.put()), ref(f.captions.slot())});
        if (FAILED(r.hr)) fail(__FILE__, __LINE__, "GetSupportedFeatures failed");
    });
    time("GetSupportedFeatures, vtable", iterations, [&] {
        dual->GetSupportedFeatures(&f.b[0], &f.b[1], &f.b[2], &f.b[3], &f.b[4], f.help.put(), &f.topic,
                                   f.shortName.put(), f.captions.slot());
    });
    time("strServerName get, GetIDsOfNames + Invoke", iterations,
         [&] { CallOutcome r = get(server.get(), L"strServerName"); });
    CHECK(f.topic == -1);
}

}  // namespace vamu::wine_test
