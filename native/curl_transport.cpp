#include "native/curl_transport.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vamu::native {

namespace {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;
using Multi = std::unique_ptr<CURLM, MultiDeleter>;
using List = std::unique_ptr<curl_slist, ListDeleter>;

// Response headers beyond this many bytes in all end the request.
constexpr std::size_t kMaxHeaderBytes = 64 * 1024;

struct Transfer {
    HttpRequest request;
    HttpTransport::Completion done;
    Easy easy;
    List headers;
    HttpResponse response;
    std::size_t headerBytes = 0;
    bool tooLarge = false;
    bool badHeaders = false;
    char error[CURL_ERROR_SIZE] = {};
};

// The callbacks run inside libcurl's C code: nothing may be thrown through it.
std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) noexcept {
    auto* t = static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    std::vector<std::uint8_t>& body = t->response.body;
    if (n > t->request.maxBytes - std::min(body.size(), t->request.maxBytes)) {
        t->tooLarge = true;
        return 0;
    }
    try {
        body.insert(body.end(), reinterpret_cast<const std::uint8_t*>(data),
                    reinterpret_cast<const std::uint8_t*>(data) + n);
    } catch (...) {
        return 0;
    }
    return n;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) {
        s.remove_suffix(1);
    }
    return s;
}

// One header line; a status line starts the headers of a new answer (after
// a redirect or a 100 Continue), so only the final answer's are kept.
void keepHeader(Transfer& t, std::string_view line) {
    auto& headers = t.response.headers;
    if (line.starts_with("HTTP/")) {
        headers.clear();
        return;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return;
    std::string name(trimmed(line.substr(0, colon)));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    headers.emplace_back(std::move(name), std::string(trimmed(line.substr(colon + 1))));
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) noexcept {
    auto* t = static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    t->headerBytes += n;
    if (t->headerBytes > kMaxHeaderBytes) {
        t->badHeaders = true;
        return 0;
    }
    try {
        keepHeader(*t, std::string_view(data, n));
    } catch (...) {
        return 0;
    }
    return n;
}

HttpResponse::Outcome outcomeOf(CURLcode code, const Transfer& t) {
    using O = HttpResponse::Outcome;
    if (t.tooLarge) return O::TooLarge;
    switch (code) {
        case CURLE_OK:
            return O::Answered;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
            return O::Unreachable;
        case CURLE_OPERATION_TIMEDOUT:
            return O::TimedOut;
        case CURLE_FILESIZE_EXCEEDED:
            return O::TooLarge;
        default:
            return O::Failed;
    }
}

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

template <typename T>
bool set(CURL* easy, CURLoption option, T value) {
    return curl_easy_setopt(easy, option, value) == CURLE_OK;
}

bool configure(Transfer& t, const CurlTransport::Options& options) {
    CURL* e = t.easy.get();
    const HttpRequest& r = t.request;
    for (const auto& [name, value] : r.headers) {
        curl_slist* more = curl_slist_append(t.headers.get(), (name + ": " + value).c_str());
        if (more == nullptr) return false;
        if (t.headers == nullptr) t.headers.reset(more);
    }
    const long timeout = std::max<long>(1, r.timeoutMs);
    bool ok =
        set(e, CURLOPT_URL, r.url.c_str()) && set(e, CURLOPT_HTTPGET, 1L) && set(e, CURLOPT_NOSIGNAL, 1L) &&
        set(e, CURLOPT_PROTOCOLS_STR, "http,https") && set(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") &&
        set(e, CURLOPT_FOLLOWLOCATION, r.maxRedirects > 0 ? 1L : 0L) &&
        set(e, CURLOPT_MAXREDIRS, static_cast<long>(std::max(0, r.maxRedirects))) &&
        set(e, CURLOPT_TIMEOUT_MS, timeout) && set(e, CURLOPT_CONNECTTIMEOUT_MS, timeout) &&
        set(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(r.maxBytes)) &&
        set(e, CURLOPT_USERAGENT, r.userAgent.c_str()) && set(e, CURLOPT_HTTPHEADER, t.headers.get()) &&
        // The loopback interface never goes through a proxy of the environment.
        set(e, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1") && set(e, CURLOPT_WRITEFUNCTION, &onBody) &&
        set(e, CURLOPT_WRITEDATA, &t) && set(e, CURLOPT_HEADERFUNCTION, &onHeader) &&
        set(e, CURLOPT_HEADERDATA, &t) && set(e, CURLOPT_ERRORBUFFER, t.error) && set(e, CURLOPT_PRIVATE, &t);
    if (ok && !options.caFile.empty()) ok = set(e, CURLOPT_CAINFO, options.caFile.c_str());
    return ok;
}

void complete(Transfer& t) {
    HttpTransport::Completion done = std::move(t.done);
    try {
        done(std::move(t.response));
    } catch (...) {
        // A completion that throws loses only its own answer; the worker goes on.
    }
}

void fail(Transfer& t, HttpResponse::Outcome outcome, std::string reason) {
    t.response.outcome = outcome;
    t.response.status = 0;
    t.response.error = std::move(reason);
    complete(t);
}

}  // namespace

class CurlTransport::Worker {
public:
    explicit Worker(Options options) : options_(std::move(options)), multi_(curl_multi_init()) {
        if (multi_ == nullptr) throw std::bad_alloc();
        thread_ = std::thread([this] { run(); });
    }

    ~Worker() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        curl_multi_wakeup(multi_.get());
        thread_.join();
    }

    void enqueue(std::unique_ptr<Transfer> t) {
        {
            std::lock_guard lock(mutex_);
            pending_.push_back(std::move(t));
        }
        curl_multi_wakeup(multi_.get());
    }

private:
    void run() {
        for (;;) {
            std::vector<std::unique_ptr<Transfer>> fresh;
            {
                std::lock_guard lock(mutex_);
                if (stopping_) break;
                fresh.swap(pending_);
            }
            for (auto& t : fresh) start(std::move(t));
            int running = 0;
            curl_multi_perform(multi_.get(), &running);
            finishDone();
            curl_multi_poll(multi_.get(), nullptr, 0, 1000, nullptr);
        }
        for (auto& [easy, t] : running_) {
            curl_multi_remove_handle(multi_.get(), easy);
            fail(*t, HttpResponse::Outcome::Failed, "cancelled");
        }
        running_.clear();
        cancelPending();
    }

    void start(std::unique_ptr<Transfer> t) {
        t->easy.reset(curl_easy_init());
        if (t->easy == nullptr || !configure(*t, options_)) {
            fail(*t, HttpResponse::Outcome::Failed, "the request could not be set up");
            return;
        }
        if (curl_multi_add_handle(multi_.get(), t->easy.get()) != CURLM_OK) {
            fail(*t, HttpResponse::Outcome::Failed, "the request could not be started");
            return;
        }
        CURL* easy = t->easy.get();
        running_.emplace(easy, std::move(t));
    }

    void finishDone() {
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_.get(), &left)) {
            if (message->msg != CURLMSG_DONE) continue;
            const auto it = running_.find(message->easy_handle);
            if (it == running_.end()) continue;
            std::unique_ptr<Transfer> t = std::move(it->second);
            running_.erase(it);
            const CURLcode code = message->data.result;
            curl_multi_remove_handle(multi_.get(), t->easy.get());
            finish(*t, code);
        }
    }

    static void finish(Transfer& t, CURLcode code) {
        HttpResponse& r = t.response;
        r.outcome = outcomeOf(code, t);
        if (r.outcome == HttpResponse::Outcome::Answered) {
            long status = 0;
            curl_easy_getinfo(t.easy.get(), CURLINFO_RESPONSE_CODE, &status);
            r.status = static_cast<std::int32_t>(status);
        } else {
            r.status = 0;
            r.body.clear();
            r.error = t.badHeaders ? "response headers too long"
                      : t.tooLarge ? "body longer than " + std::to_string(t.request.maxBytes) + " bytes"
                      : t.error[0] != '\0' ? std::string(t.error)
                                           : std::string(curl_easy_strerror(code));
        }
        t.easy.reset();
        complete(t);
    }

    // Requests queued after the worker's last look.
    void cancelPending() {
        std::vector<std::unique_ptr<Transfer>> left;
        {
            std::lock_guard lock(mutex_);
            left.swap(pending_);
        }
        for (auto& t : left) fail(*t, HttpResponse::Outcome::Failed, "cancelled");
    }

    Options options_;
    Multi multi_;
    std::mutex mutex_;
    bool stopping_ = false;
    std::vector<std::unique_ptr<Transfer>> pending_;
    std::unordered_map<CURL*, std::unique_ptr<Transfer>> running_;  // the worker's own
    std::thread thread_;
};

CurlTransport::CurlTransport() : CurlTransport(Options{}) {}

CurlTransport::CurlTransport(Options options) {
    initialiseCurlOnce();
    worker_ = std::make_unique<Worker>(std::move(options));
}

CurlTransport::~CurlTransport() = default;

void CurlTransport::get(HttpRequest request, Completion done) {
    auto t = std::make_unique<Transfer>();
    t->request = std::move(request);
    t->done = std::move(done);
    worker_->enqueue(std::move(t));
}

}  // namespace vamu::native
