#pragma once
// HttpTransport over libcurl: one worker thread drives every request through
// a curl multi handle; get() only queues and wakes it.

#include <memory>
#include <string>

#include "contracts/tile_platform.h"

namespace vamu::native {

class CurlTransport final : public HttpTransport {
public:
    struct Options {
        std::string caFile;  // a certificate file to trust instead of the system's (tests)
    };

    CurlTransport();
    explicit CurlTransport(Options options);
    // Requests still queued or running end as Failed ("cancelled"); their
    // completions run before the destructor returns, none after.
    ~CurlTransport() override;
    CurlTransport(const CurlTransport&) = delete;
    CurlTransport& operator=(const CurlTransport&) = delete;

    void get(HttpRequest request, Completion done) override;

private:
    class Worker;
    std::unique_ptr<Worker> worker_;
};

}  // namespace vamu::native
