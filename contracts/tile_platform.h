#pragma once
// What the map tiles need from the platform: HTTP(S) requests answered in
// the background, a decoder for PNG and JPEG tiles, the files of the tile
// cache, a clock, and a way to ask the host's thread to come back for tiles
// that arrived. The policy (what to fetch when, how long to keep it, how to
// draw it) is the core's.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "contracts/picture.h"

namespace vamu {

// The largest tile body accepted from a server or from the cache, and the
// largest tile side in pixels a decoder allocates for.
inline constexpr std::size_t kMaxTileBytes = std::size_t{2} << 20;
inline constexpr std::int32_t kMaxTileSide = 1024;

struct HttpRequest {
    std::string url;  // http or https only
    // Extra request headers (If-None-Match, If-Modified-Since, ...).
    std::vector<std::pair<std::string, std::string>> headers;
    std::string userAgent;
    std::int32_t timeoutMs = 20000;        // the whole request, connection included
    std::size_t maxBytes = kMaxTileBytes;  // a longer body ends the request as TooLarge
    std::int32_t maxRedirects = 3;         // followed to http(s) targets only
};

struct HttpResponse {
    enum class Outcome {
        Answered,     // a status line came back (any status, 304 and 404 included)
        Unreachable,  // no connection: name lookup, refused, no network
        TimedOut,     // no complete answer within the request's time
        TooLarge,     // the body went past maxBytes
        Failed,       // anything else: a broken or truncated answer, a bad redirect, TLS
    };
    Outcome outcome = Outcome::Failed;
    std::int32_t status = 0;  // the HTTP status where Answered
    // Response headers of the final answer, names in lower case.
    std::vector<std::pair<std::string, std::string>> headers;
    std::vector<std::uint8_t> body;
    std::string error;  // a short reason where not Answered, for the log

    // The first header of that (lower-case) name, or empty.
    std::string_view header(std::string_view lowerName) const {
        for (const auto& [name, value] : headers) {
            if (name == lowerName) return value;
        }
        return {};
    }
};

class HttpTransport {
public:
    using Completion = std::function<void(HttpResponse)>;
    virtual ~HttpTransport() = default;
    // Starts a GET and returns at once. The completion runs exactly once, on
    // a thread of the transport's, never inside get(). The destructor ends
    // the requests still running; no completion runs after it returns.
    virtual void get(HttpRequest request, Completion done) = 0;
};

class ImageDecoder {
public:
    virtual ~ImageDecoder() = default;
    // A PNG or JPEG (told by its signature) as pixels. Nothing for a damaged
    // image, another format, or one wider or taller than maxSide: the size is
    // checked before the pixels are allocated. Safe to call from any thread.
    virtual std::optional<Image> decode(std::span<const std::uint8_t> bytes, std::int32_t maxSide) = 0;
};

// The files of the tile cache, below one root folder. Relative paths use
// '/' and are made by the core from integers and fixed names only.
class CacheFiles {
public:
    struct Entry {
        std::string relative;
        std::uint64_t bytes = 0;
        std::int64_t modified = 0;  // seconds since 1970
    };
    virtual ~CacheFiles() = default;
    // The whole file; nothing where it is missing, unreadable or longer than maxBytes.
    virtual std::optional<std::vector<std::uint8_t>> read(const std::string& relative,
                                                          std::size_t maxBytes) = 0;
    // Replaces the file in one step (a temporary file in the same folder,
    // then a rename), making the folders on the way. Another process reading
    // meanwhile sees the old file or the new one, never a part. False on
    // failure, with nothing left behind.
    virtual bool replace(const std::string& relative, std::span<const std::uint8_t> bytes) = 0;
    virtual bool remove(const std::string& relative) = 0;
    // Marks the file as used now (its modification time).
    virtual void touch(const std::string& relative) = 0;
    // Every file below the root.
    virtual std::vector<Entry> list() = 0;
};

class TileClock {
public:
    virtual ~TileClock() = default;
    virtual std::int64_t unixSeconds() = 0;      // wall clock, for expiry
    virtual std::int64_t monotonicMillis() = 0;  // for timers and back-off
};

// Asks the host's thread to call back into the plug-in soon, outside any
// call from the host. Callable from any thread.
class HostThreadWaker {
public:
    virtual ~HostThreadWaker() = default;
    virtual void wake() = 0;
};

}  // namespace vamu
