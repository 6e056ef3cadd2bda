#pragma once
// The loopback tile server (tests/tile_server/tile_server.py) as a test
// resource: started on a free port of 127.0.0.1, waited for, asked for its
// counts, and killed when the object goes. The server also stops by itself
// after its time or request limit, so a crashed test leaves nothing running.

#include <curl/curl.h>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "native_test_support.h"

extern char** environ;

namespace vamu::testing {

// Runs a program to its end with its output discarded; its exit status, or -1.
inline int runQuietly(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// A self-signed certificate for 127.0.0.1, made with the openssl program.
struct TestCertificate {
    std::filesystem::path cert, key;
};
inline TestCertificate makeTestCertificate(const TempFolder& folder) {
    TestCertificate c{folder / "cert.pem", folder / "key.pem"};
    const int status =
        runQuietly({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                    "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                    "subjectAltName=IP:127.0.0.1", "-keyout", c.key.string(), "-out", c.cert.string()});
    if (status != 0) throw std::runtime_error("openssl could not make a test certificate");
    return c;
}

// The server's counts (GET /stats).
struct TileServerStats {
    std::map<std::string, int> requests;  // per path, without the query
    int total = 0, conditional = 0, ifNoneMatch = 0, notModified = 0, maxActive = 0;
    std::map<std::string, int> userAgents;
    int of(const std::string& path) const {
        const auto it = requests.find(path);
        return it == requests.end() ? 0 : it->second;
    }
};

namespace detail {

// Reads the flat JSON the server writes: numbers, and objects of numbers
// keyed by strings.
class StatsReader {
public:
    explicit StatsReader(std::string_view text) : s_(text) {}

    TileServerStats read() {
        TileServerStats out;
        expect('{');
        while (!peek('}')) {
            const std::string key = string();
            expect(':');
            if (peek('{')) {
                auto& map = key == "requests" ? out.requests : out.userAgents;
                expect('{');
                while (!peek('}')) {
                    std::string name = string();
                    expect(':');
                    map[name] = number();
                    if (peek(',')) expect(',');
                }
                expect('}');
            } else {
                const int n = number();
                if (key == "total") out.total = n;
                if (key == "conditional") out.conditional = n;
                if (key == "if_none_match") out.ifNoneMatch = n;
                if (key == "not_modified") out.notModified = n;
                if (key == "max_active") out.maxActive = n;
            }
            if (peek(',')) expect(',');
        }
        return out;
    }

private:
    void skipSpace() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n')) ++i_;
    }
    bool peek(char c) {
        skipSpace();
        return i_ < s_.size() && s_[i_] == c;
    }
    void expect(char c) {
        if (!peek(c)) throw std::runtime_error("unexpected stats: " + std::string(s_));
        ++i_;
    }
    std::string string() {
        expect('"');
        std::string out;
        while (i_ < s_.size() && s_[i_] != '"') {
            if (s_[i_] == '\\' && i_ + 1 < s_.size()) ++i_;
            out += s_[i_++];
        }
        expect('"');
        return out;
    }
    int number() {
        skipSpace();
        std::size_t used = 0;
        const int n = std::stoi(std::string(s_.substr(i_, 12)), &used);
        i_ += used;
        return n;
    }
    std::string_view s_;
    std::size_t i_ = 0;
};

inline std::size_t appendText(char* data, std::size_t size, std::size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

}  // namespace detail

class TileServer {
public:
    struct Options {
        std::optional<TestCertificate> tls;
        int maxSeconds = 120;
        int maxRequests = 5000;
    };

    TileServer() : TileServer(Options{}) {}
    explicit TileServer(Options options) : tls_(options.tls) {
        const std::filesystem::path portFile = folder_ / "port";
        std::vector<std::string> args = {"python3",        VAMU_TILE_SERVER,
                                         "--port-file",    portFile.string(),
                                         "--max-seconds",  std::to_string(options.maxSeconds),
                                         "--max-requests", std::to_string(options.maxRequests)};
        if (tls_) {
            args.insert(args.end(), {"--tls", tls_->cert.string(), tls_->key.string()});
        }
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, "python3", nullptr, nullptr, argv.data(), environ) != 0) {
            throw std::runtime_error("python3 could not be started");
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (port_ == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                stop();
                throw std::runtime_error("the tile server did not start");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const std::string text = readBytes(portFile);
            if (!text.empty() && text.back() == '\n') port_ = std::stoi(text);
        }
    }
    ~TileServer() { stop(); }
    TileServer(const TileServer&) = delete;
    TileServer& operator=(const TileServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:PORT" (https with TLS) followed by path.
    std::string url(std::string_view path) const {
        return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) +
               std::string(path);
    }
    // The URL template of a mode: ".../MODE/{z}/{x}/{y}.png" followed by query.
    std::string tileTemplate(std::string_view mode, std::string_view query = {}) const {
        return url("/" + std::string(mode) + "/{z}/{x}/{y}.png") + std::string(query);
    }

    TileServerStats stats() const { return detail::StatsReader(fetchText("/stats")).read(); }
    void reset() const { fetchText("/reset"); }
    // Moves the server's clock (its Date headers) on, with a test's clock.
    void advanceClock(int seconds) const { fetchText("/clock?advance=" + std::to_string(seconds)); }
    // A body straight from the server (no transport of the project's).
    std::vector<std::uint8_t> fetchBytes(std::string_view path) const {
        const std::string text = fetchText(path);
        return {text.begin(), text.end()};
    }

    // Ends the server now (as if it had reached a limit).
    void stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = 0;
    }

private:
    std::string fetchText(std::string_view path) const {
        std::string text;
        CURL* easy = curl_easy_init();
        if (easy == nullptr) throw std::runtime_error("curl_easy_init failed");
        const std::string address = url(path);
        curl_easy_setopt(easy, CURLOPT_URL, address.c_str());
        curl_easy_setopt(easy, CURLOPT_NOPROXY, "127.0.0.1");
        curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, 10000L);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &detail::appendText);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &text);
        const std::string ca = tls_ ? tls_->cert.string() : std::string();
        if (tls_) curl_easy_setopt(easy, CURLOPT_CAINFO, ca.c_str());
        const CURLcode code = curl_easy_perform(easy);
        curl_easy_cleanup(easy);
        if (code != CURLE_OK)
            throw std::runtime_error("tile server: " + address + ": " + curl_easy_strerror(code));
        return text;
    }

    TempFolder folder_;
    std::optional<TestCertificate> tls_;
    pid_t pid_ = 0;
    int port_ = 0;
};

// One plain HTTP server for every test of the run that does not stop it
// (python starts slowly); tests call reset() before counting.
inline TileServer& sharedTileServer() {
    static TileServer server(
        TileServer::Options{.tls = std::nullopt, .maxSeconds = 600, .maxRequests = 20000});
    return server;
}

// A port of 127.0.0.1 that nothing listens on (bound, then let go).
inline int unusedPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (s >= 0) ::close(s);
    if (port == 0) throw std::runtime_error("no free port");
    return port;
}

}  // namespace vamu::testing
