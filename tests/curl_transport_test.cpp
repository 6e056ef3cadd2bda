// The libcurl transport against the loopback tile server: what comes back
// for each kind of answer, redirects, TLS, and the end of the transport
// with requests still running.

#include "native/curl_transport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "support/tile_server.h"

namespace vamu {
namespace {

using Outcome = HttpResponse::Outcome;
using testing::TileServer;

HttpRequest requestFor(std::string url) {
    HttpRequest r;
    r.url = std::move(url);
    r.userAgent = "vamu-test/1";
    r.timeoutMs = 5000;
    return r;
}

// The answer, checking that the completion ran once, on another thread.
HttpResponse fetch(HttpTransport& http, HttpRequest request) {
    auto promise = std::make_shared<std::promise<HttpResponse>>();
    auto calls = std::make_shared<std::atomic<int>>(0);
    const auto caller = std::this_thread::get_id();
    http.get(std::move(request), [promise, calls, caller](HttpResponse r) {
        EXPECT_NE(std::this_thread::get_id(), caller);
        if (calls->fetch_add(1) == 0) promise->set_value(std::move(r));
    });
    HttpResponse r = promise->get_future().get();
    EXPECT_EQ(calls->load(), 1);
    return r;
}

TEST(CurlTransport, AnswersCarryStatusFinalHeadersAndBodyAndSendTheRequestHeaders) {
    const TileServer& server = testing::sharedTileServer();
    server.reset();
    native::CurlTransport http;

    const HttpResponse ok = fetch(http, requestFor(server.url("/ok/3/1/2.png?max-age=60")));
    ASSERT_EQ(ok.outcome, Outcome::Answered) << ok.error;
    EXPECT_EQ(ok.status, 200);
    EXPECT_EQ(ok.header("cache-control"), "max-age=60");
    EXPECT_EQ(ok.header("content-type"), "image/png");
    const std::string etag(ok.header("etag"));
    ASSERT_FALSE(etag.empty());

    HttpRequest conditional = requestFor(server.url("/ok/3/1/2.png"));
    conditional.headers = {{"If-None-Match", etag}};
    const HttpResponse notModified = fetch(http, conditional);
    EXPECT_EQ(notModified.outcome, Outcome::Answered);
    EXPECT_EQ(notModified.status, 304);
    EXPECT_TRUE(notModified.body.empty());

    const HttpResponse missing = fetch(http, requestFor(server.url("/404/3/1/2.png")));
    EXPECT_EQ(missing.outcome, Outcome::Answered);
    EXPECT_EQ(missing.status, 404);

    // Three hops are followed; the headers are the final answer's alone.
    const HttpResponse redirected = fetch(http, requestFor(server.url("/redirect/3/1/2.png?hops=3")));
    EXPECT_EQ(redirected.outcome, Outcome::Answered);
    EXPECT_EQ(redirected.status, 200);
    EXPECT_EQ(redirected.header("location"), "");
    EXPECT_FALSE(redirected.header("etag").empty());

    const auto stats = server.stats();
    EXPECT_EQ(stats.conditional, 1);
    EXPECT_EQ(stats.notModified, 1);
    EXPECT_EQ(stats.userAgents.at("vamu-test/1"), stats.total);
    EXPECT_EQ(ok.body, server.fetchBytes("/ok/3/1/2.png"));
}

TEST(CurlTransport, BrokenOversizedSilentAndUnreachableAnswersEndAsTheirOutcome) {
    const TileServer& server = testing::sharedTileServer();
    native::CurlTransport http;

    const HttpResponse truncated = fetch(http, requestFor(server.url("/truncated/1/0/0.png")));
    EXPECT_EQ(truncated.outcome, Outcome::Failed);
    EXPECT_TRUE(truncated.body.empty());
    EXPECT_FALSE(truncated.error.empty());

    // Too long with a Content-Length, and without one (found while reading).
    for (const char* path : {"/bigbytes/1/0/0.png", "/bigbytes/1/0/0.png?nolength=1"}) {
        const HttpResponse big = fetch(http, requestFor(server.url(path)));
        EXPECT_EQ(big.outcome, Outcome::TooLarge) << path;
        EXPECT_TRUE(big.body.empty());
    }
    HttpRequest small = requestFor(server.url("/ok/1/0/0.png"));
    small.maxBytes = 100;
    EXPECT_EQ(fetch(http, small).outcome, Outcome::TooLarge);

    HttpRequest silent = requestFor(server.url("/silent/1/0/0.png"));
    silent.timeoutMs = 300;
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(fetch(http, silent).outcome, Outcome::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));

    const std::string nobody = "http://127.0.0.1:" + std::to_string(testing::unusedPort()) + "/ok/1/0/0.png";
    EXPECT_EQ(fetch(http, requestFor(nobody)).outcome, Outcome::Unreachable);
}

TEST(CurlTransport, RedirectsAreLimitedInNumberAndToHttp) {
    const TileServer& server = testing::sharedTileServer();
    server.reset();
    native::CurlTransport http;
    EXPECT_EQ(fetch(http, requestFor(server.url("/redirect/1/0/0.png?hops=4"))).outcome, Outcome::Failed);
    EXPECT_EQ(fetch(http, requestFor(server.url("/redirect/1/0/0.png?hops=1&to=ftp"))).outcome,
              Outcome::Failed);
    EXPECT_EQ(fetch(http, requestFor(server.url("/redirect/1/0/0.png?hops=1&to=file"))).outcome,
              Outcome::Failed);

    HttpRequest none = requestFor(server.url("/redirect/1/0/0.png?hops=1"));
    none.maxRedirects = 0;
    const HttpResponse first = fetch(http, none);
    EXPECT_EQ(first.status, 302);
    EXPECT_EQ(first.header("location"), "/ok/1/0/0.png");
    EXPECT_EQ(server.stats().of("/ok/1/0/0.png"), 0);

    HttpRequest ftp = requestFor("ftp://127.0.0.1:" + std::to_string(server.port()) + "/x");
    EXPECT_EQ(fetch(http, ftp).outcome, Outcome::Failed);
}

TEST(CurlTransport, HttpsTrustsTheGivenCertificateOnly) {
    testing::TempFolder folder;
    const auto certificate = testing::makeTestCertificate(folder);
    TileServer server(TileServer::Options{.tls = certificate});

    native::CurlTransport trusting(native::CurlTransport::Options{.caFile = certificate.cert.string()});
    const HttpResponse ok = fetch(trusting, requestFor(server.url("/ok/2/1/1.png")));
    EXPECT_EQ(ok.outcome, Outcome::Answered) << ok.error;
    EXPECT_EQ(ok.status, 200);

    native::CurlTransport system;
    const HttpResponse refused = fetch(system, requestFor(server.url("/ok/2/1/1.png")));
    EXPECT_EQ(refused.outcome, Outcome::Failed);
    EXPECT_EQ(server.stats().total, 1);
}

TEST(CurlTransport, EndingItCompletesEveryRequestOnceAndNoneAfterwards) {
    const TileServer& server = testing::sharedTileServer();
    std::atomic<int> completions = 0;
    std::atomic<bool> destroyed = false;
    std::atomic<int> late = 0;
    auto http = std::make_unique<native::CurlTransport>();
    for (int i = 0; i < 20; ++i) {
        http->get(requestFor(server.url("/silent/5/" + std::to_string(i) + "/0.png")), [&](HttpResponse r) {
            if (destroyed) ++late;
            EXPECT_NE(r.outcome, Outcome::Answered);
            ++completions;
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto before = std::chrono::steady_clock::now();
    http.reset();
    destroyed = true;
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    EXPECT_EQ(completions, 20);
    EXPECT_EQ(late, 0);
}

}  // namespace
}  // namespace vamu
