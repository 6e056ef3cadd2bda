#pragma once
// HTTP(S) GET requests over WinHTTP, run by a few worker threads of the
// transport's own with WinHTTP's synchronous calls.

#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "contracts/tile_platform.h"

namespace vamu::win {

class WinHttpTransport : public HttpTransport {
public:
    struct Options {
        // Requests that run at the same time; more wait their turn in order.
        std::int32_t workers = 2;
        // Accepts a server certificate signed by an authority the machine
        // does not know. For the loopback test server's own certificate in
        // the checks only: nothing in the plug-in sets it.
        bool trustUnknownAuthorityForTests = false;
    };

    WinHttpTransport();
    explicit WinHttpTransport(Options options);
    WinHttpTransport(const WinHttpTransport&) = delete;
    WinHttpTransport& operator=(const WinHttpTransport&) = delete;
    // Closes the requests in flight (they complete as Failed, as do those
    // still waiting) and waits for every completion to have run.
    ~WinHttpTransport() override;

    void get(HttpRequest request, Completion done) override;

    struct State;

private:
    std::unique_ptr<State> state_;
    std::vector<std::thread> workers_;
};

}  // namespace vamu::win
