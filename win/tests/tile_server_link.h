#pragma once
// What the tile checks share: the loopback tile server's address, requests
// waited for, and the pattern every test tile shows.

#include <cstdint>
#include <string>

#include "contracts/tile_platform.h"

namespace vamu::wine_test {

// The server's port from VAMU_TILE_PORT (VAMU_TILE_TLS_PORT for the one
// that speaks TLS), 0 where it is not set.
int tileServerPort(bool tls = false);
// "http://127.0.0.1:PORT" + path ("https://" for tls).
std::string tileUrl(const std::string& path, bool tls = false);

struct Fetched {
    HttpResponse response;
    int completions = 0;
    bool onCallerThread = false;
    std::int64_t elapsedMs = 0;
};
// Starts the request and waits (up to waitMs) for its completion.
Fetched fetch(HttpTransport& transport, HttpRequest request, int waitMs = 30000);
HttpRequest requestFor(const std::string& url);
// The body of GET /stats (JSON), or empty.
std::string serverStats(HttpTransport& transport);

// Whether the pixel at (px, py) of tile (x, y) is one of the black dots.
bool patternIsBlack(std::int32_t x, std::int32_t y, std::int32_t px, std::int32_t py);
// The pixels that differ from the pattern of tile (x, y) by more than
// tolerance in any channel.
int patternMismatches(const Image& image, std::int32_t x, std::int32_t y, int tolerance = 0);

}  // namespace vamu::wine_test
