#pragma once
// One GET over WinHTTP's synchronous calls, redirects followed by hand, on
// the calling thread.

#include <windows.h>
#include <winhttp.h>

#include "contracts/tile_platform.h"
#include "win/platform/handles.h"

namespace vamu::win {

namespace closers {
inline void internet(HINTERNET handle) { WinHttpCloseHandle(handle); }
}  // namespace closers
using UniqueInternet = UniqueHandle<HINTERNET, closers::internet>;

// Where a request keeps the handle it is using, so that another thread can
// close it to cut the request short (WinHTTP then fails the call in
// progress). Once cut, the request makes no more calls with the handle.
class RequestSlot {
public:
    virtual ~RequestSlot() = default;
    // False when requests are being cut: the request must not start.
    virtual bool enter(HINTERNET request) = 0;
    // True when the handle is still the request's to close.
    virtual bool leave() = 0;
    virtual bool cut() = 0;
};

struct RequestOptions {
    HINTERNET session = nullptr;
    bool trustUnknownAuthority = false;
};

HttpResponse performRequest(const HttpRequest& request, const RequestOptions& options, RequestSlot& slot);

// The answer given to a request that was cut short or never started.
HttpResponse cancelledResponse();

}  // namespace vamu::win
