// HTTP over WinHTTP against the loopback tile server: answers, failures,
// redirects, closing with requests in flight, and TLS with the test's own
// certificate.

#include <winsock2.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>

#include "win/platform/http_text.h"
#include "win/platform/wic_decoder.h"
#include "win/platform/winhttp_transport.h"
#include "win/tests/support/check.h"
#include "win/tests/tile_server_link.h"

namespace vamu::wine_test {
namespace {

using Outcome = HttpResponse::Outcome;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A port on which nothing listens: bound, never listening, for the time of a scope.
class DeafPort {
public:
    DeafPort() {
        WSADATA data{};
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof address;
        if (socket_ != INVALID_SOCKET && bind(socket_, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
            port_ = ntohs(address.sin_port);
        }
    }
    DeafPort(const DeafPort&) = delete;
    DeafPort& operator=(const DeafPort&) = delete;
    ~DeafPort() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
        if (started_) WSACleanup();
    }
    int port() const { return port_; }

private:
    bool started_ = false;
    SOCKET socket_ = INVALID_SOCKET;
    int port_ = 0;
};

CHECK_CASE(tile_http_text_headers_redirect_targets_and_lengths) {
    using Headers = std::vector<std::pair<std::string, std::string>>;
    CHECK(
        win::parseRawHeaders("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nX-Long: a\r\n  b\r\nno colon\r\n"
                             "ETag:  \"1\" \r\n\r\n") ==
        (Headers{{"content-type", "image/png"}, {"x-long", "a b"}, {"etag", "\"1\""}}));
    CHECK(win::parseRawHeaders("HTTP/1.1 200 OK\r\nA: 1\r\nB: 2\r\nC: 3\r\n", 2).size() == 2);
    CHECK(win::resolveLocation("http://h:1/a/b.png?x=/y", "c.png") == "http://h:1/a/c.png");
    CHECK(win::resolveLocation("http://h:1/a/b.png", "/z/1.png?q") == "http://h:1/z/1.png?q");
    CHECK(win::resolveLocation("https://h/a", "//other/x") == "https://other/x");
    CHECK(win::resolveLocation("http://h", "x") == "http://h/x");
    CHECK(win::resolveLocation("http://h?q=1", "/x") == "http://h/x");
    CHECK(win::resolveLocation("http://h/a/b", " FTP://o/p ") == "FTP://o/p");
    CHECK(win::isHttpUrl("HTTP://x/") && win::isHttpUrl("https://x") &&
          !win::isHttpUrl("file:///etc/hostname") && !win::isHttpUrl("http:x") &&
          !win::isHttpUrl("javascript:1") && !win::isHttpUrl(""));
    CHECK(win::contentLength(" 12 ") == std::size_t{12} && !win::contentLength("-1") &&
          !win::contentLength("1e3") && !win::contentLength("") &&
          !win::contentLength("1234567890123456789"));
}

CHECK_CASE(tile_http_answers_with_status_headers_and_body_and_revalidates) {
    CHECK(tileServerPort() > 0);
    win::WinHttpTransport transport;
    fetch(transport, requestFor(tileUrl("/reset")));
    const Fetched ok = fetch(transport, requestFor(tileUrl("/ok/3/5/2.png")));
    CHECK(ok.completions == 1 && !ok.onCallerThread);
    CHECK(ok.response.outcome == Outcome::Answered && ok.response.status == 200);
    CHECK(ok.response.header("cache-control") == "max-age=86400");
    CHECK(ok.response.header("content-type") == "image/png");
    CHECK(ok.response.header("last-modified") == "Tue, 14 Nov 2023 22:13:20 GMT");
    const std::string etag(ok.response.header("etag"));
    CHECK(etag == "\"3-5-2-png-rgb\"");
    const auto image = win::WicImageDecoder().decode(ok.response.body, kMaxTileSide);
    CHECK(image && patternMismatches(*image, 5, 2) == 0);

    HttpRequest byTag = requestFor(tileUrl("/ok/3/5/2.png"));
    byTag.headers = {{"If-None-Match", etag}};
    const Fetched notModified = fetch(transport, byTag);
    CHECK(notModified.response.outcome == Outcome::Answered && notModified.response.status == 304);
    CHECK(notModified.response.body.empty() && notModified.response.header("etag") == etag);
    HttpRequest byDate = requestFor(tileUrl("/ok/3/5/2.png?max-age=60"));
    byDate.headers = {{"If-Modified-Since", std::string(ok.response.header("last-modified"))}};
    const Fetched sinceDate = fetch(transport, byDate);
    CHECK(sinceDate.response.status == 304 && sinceDate.response.header("cache-control") == "max-age=60");

    const Fetched missing = fetch(transport, requestFor(tileUrl("/404/3/5/2.png")));
    CHECK(missing.response.outcome == Outcome::Answered && missing.response.status == 404);
    CHECK(std::string(missing.response.body.begin(), missing.response.body.end()) == "no tile here");
    const Fetched busy = fetch(transport, requestFor(tileUrl("/429/3/5/2.png?retry-after=7")));
    CHECK(busy.response.status == 429 && busy.response.header("retry-after") == "7");

    const std::string stats = serverStats(transport);
    CHECK(has(stats, "vamu-wine-check/1.0"));
    CHECK(has(stats, "\"conditional\": 2") || has(stats, "\"conditional\":2"));
}

CHECK_CASE(tile_http_failures_have_their_outcomes) {
    win::WinHttpTransport transport;
    HttpRequest silent = requestFor(tileUrl("/silent/3/5/2.png"));
    silent.timeoutMs = 1500;
    const Fetched timedOut = fetch(transport, silent);
    CHECK(timedOut.response.outcome == Outcome::TimedOut);
    std::printf("         silent server given up after %lld ms (request time 1500 ms)\n",
                static_cast<long long>(timedOut.elapsedMs));
    CHECK(timedOut.elapsedMs >= 1000 && timedOut.elapsedMs < 6000);
    // Headers in time but the whole answer not: the request's time covers every step.
    HttpRequest slow = requestFor(tileUrl("/slow/3/5/2.png?ms=4000"));
    slow.timeoutMs = 1000;
    CHECK(fetch(transport, slow).response.outcome == Outcome::TimedOut);

    CHECK(fetch(transport, requestFor(tileUrl("/bigbytes/3/5/2.png"))).response.outcome == Outcome::TooLarge);
    const Fetched unbounded = fetch(transport, requestFor(tileUrl("/bigbytes/3/5/2.png?nolength=1")));
    CHECK(unbounded.response.outcome == Outcome::TooLarge && unbounded.response.body.empty());
    HttpRequest atLimit = requestFor(tileUrl("/bigbytes/3/5/2.png?bytes=100000"));
    atLimit.maxBytes = 100000;
    const Fetched exact = fetch(transport, atLimit);
    CHECK(exact.response.outcome == Outcome::Answered && exact.response.body.size() == 100000);
    atLimit.url = tileUrl("/bigbytes/3/5/2.png?bytes=100001&nolength=1");
    CHECK(fetch(transport, atLimit).response.outcome == Outcome::TooLarge);

    const Fetched truncated = fetch(transport, requestFor(tileUrl("/truncated/3/5/2.png")));
    CHECK(truncated.response.outcome == Outcome::Failed || truncated.response.outcome == Outcome::TimedOut);
    CHECK(truncated.response.outcome != Outcome::TimedOut);

    const DeafPort deaf;
    CHECK(deaf.port() > 0);
    const Fetched refused =
        fetch(transport, requestFor("http://127.0.0.1:" + std::to_string(deaf.port()) + "/ok/3/5/2.png"));
    CHECK(refused.response.outcome == Outcome::Unreachable && !refused.response.error.empty());
    CHECK(fetch(transport, requestFor("ftp://127.0.0.1/ok/3/5/2.png")).response.outcome == Outcome::Failed);
    HttpRequest injected = requestFor(tileUrl("/ok/3/5/2.png"));
    injected.headers = {{"If-None-Match", "\"x\"\r\nHost: elsewhere"}};
    CHECK(fetch(transport, injected).response.outcome == Outcome::Failed);
}

CHECK_CASE(tile_http_redirects_are_followed_to_the_limit_and_to_http_only) {
    win::WinHttpTransport transport;
    fetch(transport, requestFor(tileUrl("/reset")));
    HttpRequest three = requestFor(tileUrl("/redirect/3/5/2.png?hops=3"));
    three.maxRedirects = 3;
    const Fetched followed = fetch(transport, three);
    CHECK(followed.response.outcome == Outcome::Answered && followed.response.status == 200);
    const auto image = win::WicImageDecoder().decode(followed.response.body, kMaxTileSide);
    CHECK(image && patternMismatches(*image, 5, 2) == 0);

    three.url = tileUrl("/redirect/3/6/2.png?hops=4");
    const Fetched tooMany = fetch(transport, three);
    CHECK(tooMany.response.outcome == Outcome::Failed && has(tooMany.response.error, "redirects"));
    HttpRequest none = requestFor(tileUrl("/redirect/3/7/2.png?hops=1"));
    none.maxRedirects = 0;
    CHECK(fetch(transport, none).response.outcome == Outcome::Failed);
    for (const char* scheme : {"ftp", "file"}) {
        const Fetched away =
            fetch(transport, requestFor(tileUrl(std::string("/redirect/3/5/2.png?to=") + scheme)));
        CHECK(away.response.outcome == Outcome::Failed && has(away.response.error, "other than http"));
    }
    // Four hops asked, three followed: the fourth redirect is not, and the tile never asked for.
    const std::string stats = serverStats(transport);
    CHECK(!has(stats, "/ok/3/6/2.png") && !has(stats, "/ok/3/7/2.png"));
    CHECK(has(stats, "/ok/3/5/2.png"));
}

CHECK_CASE(tile_http_closing_completes_every_request_once_before_it_returns) {
    struct Counts {
        std::mutex mutex;
        std::vector<int> completions = std::vector<int>(6, 0);
        std::vector<Outcome> outcomes = std::vector<Outcome>(6, Outcome::Answered);
    } counts;
    std::atomic<int> running{0};
    std::optional<win::WinHttpTransport> transport(std::in_place, win::WinHttpTransport::Options{2, false});
    for (int i = 0; i < 6; ++i) {
        // Two silent requests hold both workers; the others wait behind them.
        HttpRequest request = requestFor(tileUrl(i < 2 ? "/silent/4/1/1.png" : "/ok/4/1/1.png"));
        request.timeoutMs = 8000;
        transport->get(request, [&counts, &running, i](HttpResponse response) {
            ++running;
            Sleep(50);  // a completion still running when the close begins
            const std::lock_guard lock(counts.mutex);
            ++counts.completions[static_cast<std::size_t>(i)];
            counts.outcomes[static_cast<std::size_t>(i)] = response.outcome;
            --running;
        });
    }
    Sleep(500);
    const auto before = std::chrono::steady_clock::now();
    transport.reset();
    const long long closeMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before)
            .count();
    CHECK(running == 0);
    const std::lock_guard lock(counts.mutex);
    for (int i = 0; i < 6; ++i) CHECK(counts.completions[static_cast<std::size_t>(i)] == 1);
    CHECK(counts.outcomes[0] != Outcome::Answered && counts.outcomes[1] != Outcome::Answered);
    std::printf("         closed with two silent requests in flight in %lld ms (their time 8000 ms)\n",
                closeMs);
}

CHECK_CASE(tile_https_is_trusted_with_the_test_certificate_only_when_asked) {
    if (tileServerPort(true) == 0) {
        std::printf("         no TLS test server (openssl missing): HTTPS not checked\n");
        return;
    }
    // Untrusted first: a verified connection may be kept for the next request to the same server.
    win::WinHttpTransport plain;
    const Fetched refused = fetch(plain, requestFor(tileUrl("/ok/3/5/2.png", true)));
    CHECK(refused.response.outcome == Outcome::Failed);
    std::printf("         untrusted certificate: %s\n", refused.response.error.c_str());
    win::WinHttpTransport trusting(win::WinHttpTransport::Options{1, true});
    const Fetched ok = fetch(trusting, requestFor(tileUrl("/ok/3/5/2.png", true)));
    CHECK(ok.response.outcome == Outcome::Answered && ok.response.status == 200);
    if (ok.response.outcome != Outcome::Answered)
        std::printf("         trusted: %s\n", ok.response.error.c_str());
    const auto image = win::WicImageDecoder().decode(ok.response.body, kMaxTileSide);
    CHECK(image && patternMismatches(*image, 5, 2) == 0);
}

}  // namespace
}  // namespace vamu::wine_test
