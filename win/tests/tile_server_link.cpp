#include "win/tests/tile_server_link.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace vamu::wine_test {

int tileServerPort(bool tls) {
    const char* value = std::getenv(tls ? "VAMU_TILE_TLS_PORT" : "VAMU_TILE_PORT");
    return value ? std::atoi(value) : 0;
}

std::string tileUrl(const std::string& path, bool tls) {
    // The TLS server's certificate names localhost (a name, which the
    // certificate check matches; it does not match an address).
    return std::string(tls ? "https://localhost:" : "http://127.0.0.1:") +
           std::to_string(tileServerPort(tls)) + path;
}

HttpRequest requestFor(const std::string& url) {
    HttpRequest request;
    request.url = url;
    request.userAgent = "vamu-wine-check/1.0";
    request.timeoutMs = 15000;
    return request;
}

Fetched fetch(HttpTransport& transport, HttpRequest request, int waitMs) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        Fetched result;
    };
    auto shared = std::make_shared<Shared>();
    const DWORD caller = GetCurrentThreadId();
    const auto start = std::chrono::steady_clock::now();
    transport.get(std::move(request), [shared, caller, start](HttpResponse response) {
        const std::lock_guard lock(shared->mutex);
        shared->result.response = std::move(response);
        shared->result.onCallerThread = GetCurrentThreadId() == caller;
        shared->result.elapsedMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                .count();
        ++shared->result.completions;
        shared->done.notify_all();
    });
    std::unique_lock lock(shared->mutex);
    shared->done.wait_for(lock, std::chrono::milliseconds(waitMs),
                          [&] { return shared->result.completions > 0; });
    return shared->result;
}

std::string serverStats(HttpTransport& transport) {
    const Fetched stats = fetch(transport, requestFor(tileUrl("/stats")));
    return std::string(stats.response.body.begin(), stats.response.body.end());
}

bool patternIsBlack(std::int32_t x, std::int32_t y, std::int32_t px, std::int32_t py) {
    const auto dot = [](std::int32_t g) { return g % 64 >= 30 && g % 64 <= 33; };
    return dot(x * 256 + px) && dot(y * 256 + py);
}

int patternMismatches(const Image& image, std::int32_t x, std::int32_t y, int tolerance) {
    if (image.width != 256 || image.height != 256) return -1;
    int mismatches = 0;
    for (std::int32_t py = 0; py < 256; ++py) {
        for (std::int32_t px = 0; px < 256; ++px) {
            const int expected = patternIsBlack(x, y, px, py) ? 0 : 255;
            const std::uint32_t pixel = image.at(px, py);
            for (int shift = 0; shift <= 16; shift += 8) {
                if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) - expected) > tolerance) {
                    ++mismatches;
                    break;
                }
            }
        }
    }
    return mismatches;
}

}  // namespace vamu::wine_test
