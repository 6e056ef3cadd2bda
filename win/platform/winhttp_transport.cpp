#include "win/platform/winhttp_transport.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

#include "win/platform/winhttp_request.h"

namespace vamu::win {

struct WinHttpTransport::State {
    explicit State(const Options& given) : options(given) {}

    Options options;
    UniqueInternet session;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::pair<HttpRequest, Completion>> waiting;
    std::vector<HINTERNET> inFlight;  // one per worker, null when idle
    bool closing = false;
};

namespace {

using State = WinHttpTransport::State;

// WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3, which older headers lack.
constexpr DWORD kTls13 = 0x00002000;

// A string WinHttpGetIEProxyConfigForCurrentUser hands over.
class GlobalText {
public:
    explicit GlobalText(LPWSTR text) noexcept : text_(text) {}
    ~GlobalText() {
        if (text_) GlobalFree(text_);
    }
    GlobalText(const GlobalText&) = delete;
    GlobalText& operator=(const GlobalText&) = delete;
    LPCWSTR get() const noexcept { return text_; }

private:
    LPWSTR text_;
};

// The proxy the user set for Windows: from Windows 8.1 on, the system's own
// settings (automatic detection and configuration scripts included); before
// that, the fixed proxy of the user's Internet settings, else the WinHTTP
// default (netsh winhttp).
HINTERNET openSession() {
    if (HINTERNET session = WinHttpOpen(L"vamuMapserver", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                        WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0)) {
        return session;
    }
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG user{};
    if (WinHttpGetIEProxyConfigForCurrentUser(&user)) {
        const GlobalText script(user.lpszAutoConfigUrl), proxy(user.lpszProxy), bypass(user.lpszProxyBypass);
        if (proxy.get() && *proxy.get()) {
            return WinHttpOpen(L"vamuMapserver", WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxy.get(),
                               bypass.get() ? bypass.get() : WINHTTP_NO_PROXY_BYPASS, 0);
        }
    }
    return WinHttpOpen(L"vamuMapserver", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                       WINHTTP_NO_PROXY_BYPASS, 0);
}

class WorkerSlot : public RequestSlot {
public:
    WorkerSlot(State& state, std::size_t index) : state_(state), index_(index) {}

    bool enter(HINTERNET request) override {
        const std::lock_guard lock(state_.mutex);
        if (state_.closing) return false;
        state_.inFlight[index_] = request;
        return true;
    }
    bool leave() override {
        const std::lock_guard lock(state_.mutex);
        return std::exchange(state_.inFlight[index_], nullptr) != nullptr;
    }
    bool cut() override {
        const std::lock_guard lock(state_.mutex);
        return state_.closing;
    }

private:
    State& state_;
    std::size_t index_;
};

void work(State& state, std::size_t index) {
    WorkerSlot slot(state, index);
    const RequestOptions options{state.session.get(), state.options.trustUnknownAuthorityForTests};
    for (;;) {
        std::pair<HttpRequest, HttpTransport::Completion> job;
        bool closing = false;
        {
            std::unique_lock lock(state.mutex);
            state.wake.wait(lock, [&] { return state.closing || !state.waiting.empty(); });
            if (state.waiting.empty()) return;
            job = std::move(state.waiting.front());
            state.waiting.pop_front();
            closing = state.closing;
        }
        HttpResponse response = closing ? cancelledResponse() : performRequest(job.first, options, slot);
        try {
            job.second(std::move(response));
        } catch (...) {
            // The completion's own failure is its business; the worker goes on.
        }
    }
}

// Closes the requests in flight and lets the workers run out.
void closeAll(State& state) {
    {
        const std::lock_guard lock(state.mutex);
        state.closing = true;
        for (HINTERNET& request : state.inFlight) {
            if (request) WinHttpCloseHandle(std::exchange(request, nullptr));
        }
    }
    state.wake.notify_all();
}

}  // namespace

WinHttpTransport::WinHttpTransport() : WinHttpTransport(Options{}) {}

WinHttpTransport::WinHttpTransport(Options options) : state_(std::make_unique<State>(options)) {
    // The User-Agent of each request replaces the session's.
    state_->session.reset(openSession());
    if (state_->session) {
        // TLS 1.2 and later, which the tile servers ask for; older systems
        // leave 1.2 out unless asked.
        DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | kTls13;
        if (!WinHttpSetOption(state_->session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                              sizeof protocols)) {
            protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
            WinHttpSetOption(state_->session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                             sizeof protocols);
        }
    }
    const auto count = static_cast<std::size_t>(std::clamp(options.workers, 1, 16));
    state_->inFlight.assign(count, nullptr);
    try {
        for (std::size_t i = 0; i < count; ++i) workers_.emplace_back(work, std::ref(*state_), i);
    } catch (...) {
        closeAll(*state_);
        for (std::thread& worker : workers_) worker.join();
        throw;
    }
}

WinHttpTransport::~WinHttpTransport() {
    closeAll(*state_);
    for (std::thread& worker : workers_) worker.join();
}

void WinHttpTransport::get(HttpRequest request, Completion done) {
    {
        const std::lock_guard lock(state_->mutex);
        state_->waiting.emplace_back(std::move(request), std::move(done));
    }
    state_->wake.notify_one();
}

}  // namespace vamu::win
