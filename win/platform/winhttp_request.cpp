#include "win/platform/winhttp_request.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "contracts/text.h"
#include "win/platform/bstr.h"
#include "win/platform/http_text.h"

namespace vamu::win {
namespace {

using Outcome = HttpResponse::Outcome;
using SteadyClock = std::chrono::steady_clock;

constexpr std::int32_t kLongestRequestMs = 10 * 60 * 1000;
constexpr DWORD kLongestHeaderBlock = 256 * 1024;  // bytes of UTF-16
constexpr std::size_t kReadPiece = 64 * 1024;

HttpResponse failed(Outcome outcome, std::string reason) {
    HttpResponse response;
    response.outcome = outcome;
    response.error = std::move(reason);
    return response;
}

std::string describe(DWORD error) {
    const char* what = "";
    switch (error) {
        case ERROR_WINHTTP_TIMEOUT:
            what = " (timed out)";
            break;
        case ERROR_WINHTTP_CANNOT_CONNECT:
            what = " (cannot connect)";
            break;
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
            what = " (name not resolved)";
            break;
        case ERROR_WINHTTP_CONNECTION_ERROR:
            what = " (connection broken)";
            break;
        case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
            what = " (invalid answer)";
            break;
        case ERROR_WINHTTP_SECURE_FAILURE:
            what = " (TLS)";
            break;
        case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
            what = " (not http or https)";
            break;
        case ERROR_WINHTTP_INVALID_URL:
            what = " (bad URL)";
            break;
        default:
            break;
    }
    return "WinHTTP error " + std::to_string(error) + what;
}

bool isRedirect(std::int32_t status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Statuses whose answer has no body whatever its headers say.
bool hasNoBody(std::int32_t status) {
    return status == 204 || status == 304 || (status >= 100 && status < 200);
}

// Keeps the request's handle in the slot while it is in use, and gives it
// up on the way out unless the slot's owner has closed it meanwhile.
class SlotEntry {
public:
    SlotEntry(RequestSlot& slot, UniqueInternet& request) : slot_(slot), request_(request) {
        entered_ = slot_.enter(request_.get());
    }
    SlotEntry(const SlotEntry&) = delete;
    SlotEntry& operator=(const SlotEntry&) = delete;
    ~SlotEntry() {
        if (entered_ && !slot_.leave()) request_.release();  // closed by the one who cut it
    }
    bool entered() const { return entered_; }

private:
    RequestSlot& slot_;
    UniqueInternet& request_;
    bool entered_ = false;
};

class Fetch {
public:
    Fetch(const HttpRequest& request, const RequestOptions& options, RequestSlot& slot)
        : request_(request),
          options_(options),
          slot_(slot),
          deadline_(SteadyClock::now() +
                    std::chrono::milliseconds(std::clamp(request.timeoutMs, 1, kLongestRequestMs))) {}

    HttpResponse run() {
        std::string url = request_.url;
        const std::int32_t allowed = std::max(request_.maxRedirects, 0);
        for (std::int32_t redirects = 0;; ++redirects) {
            if (!isHttpUrl(url)) {
                return failed(Outcome::Failed, redirects == 0
                                                   ? "not an http or https URL"
                                                   : "redirected to a URL other than http or https");
            }
            std::string location;
            HttpResponse response = hop(url, location);
            if (location.empty()) return response;
            if (redirects == allowed) {
                return failed(Outcome::Failed, "more than " + std::to_string(allowed) + " redirects");
            }
            url = resolveLocation(url, location);
        }
    }

private:
    // Milliseconds left of the request's time, 0 when it has run out.
    DWORD remainingMs() const {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - SteadyClock::now()).count();
        return left > 0 ? static_cast<DWORD>(left) : 0;
    }

    HttpResponse failure(DWORD error) {
        if (slot_.cut()) return cancelledResponse();
        Outcome outcome = Outcome::Failed;
        if (error == ERROR_WINHTTP_TIMEOUT || remainingMs() == 0) {
            outcome = Outcome::TimedOut;
        } else if (error == ERROR_WINHTTP_CANNOT_CONNECT || error == ERROR_WINHTTP_NAME_NOT_RESOLVED) {
            outcome = Outcome::Unreachable;
        }
        return failed(outcome, describe(error));
    }

    HttpResponse timedOut() const { return failed(Outcome::TimedOut, "no complete answer in time"); }

    // The remaining time as every timeout of the request, so that all its
    // steps together stay within the request's time.
    bool applyTimeouts(HINTERNET request) const {
        DWORD left = remainingMs();
        if (left == 0) return false;
        const int ms = static_cast<int>(left);
        WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &left, sizeof left);
        return WinHttpSetTimeouts(request, ms, ms, ms, ms) != FALSE;
    }

    bool addHeaders(HINTERNET request) const {
        std::string text;
        const auto add = [&](const std::string& name, const std::string& value) {
            if (name.find_first_of("\r\n:") != std::string::npos ||
                value.find_first_of("\r\n") != std::string::npos)
                return false;
            text += name + ": " + value + "\r\n";
            return true;
        };
        if (!request_.userAgent.empty() && !add("User-Agent", request_.userAgent)) return false;
        for (const auto& [name, value] : request_.headers) {
            if (!add(name, value)) return false;
        }
        if (text.empty()) return true;
        const std::u16string wideText = fromUtf8(text);
        return WinHttpAddRequestHeaders(request, wide(wideText), static_cast<DWORD>(wideText.size()),
                                        WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE) != FALSE;
    }

    bool prepare(HINTERNET request, bool secure) const {
        DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        if (!WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never)) return false;
        DWORD noCookies = WINHTTP_DISABLE_COOKIES;
        WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &noCookies, sizeof noCookies);
        if (secure && options_.trustUnknownAuthority) {
            DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
            if (!WinHttpSetOption(request, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags)) return false;
        }
        return true;
    }

    static std::optional<std::int32_t> statusOf(HINTERNET request) {
        DWORD status = 0, size = sizeof status;
        if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(status);
    }

    static std::optional<std::vector<std::pair<std::string, std::string>>> headersOf(HINTERNET request) {
        DWORD size = 0;
        WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                            WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0 || size > kLongestHeaderBlock)
            return std::nullopt;
        std::u16string raw(size / sizeof(char16_t) + 1, u'\0');
        if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                                 raw.data(), &size, WINHTTP_NO_HEADER_INDEX)) {
            return std::nullopt;
        }
        raw.resize(size / sizeof(char16_t));
        return parseRawHeaders(toUtf8(raw));
    }

    // The body into response, bounded by maxBytes and by the request's time.
    HttpResponse readBody(HINTERNET request, HttpResponse response) {
        const std::size_t limit = request_.maxBytes;
        const auto declared = contentLength(response.header("content-length"));
        const auto tooLarge = [&] {
            return failed(Outcome::TooLarge, "body longer than " + std::to_string(limit) + " bytes");
        };
        if (hasNoBody(response.status)) return response;
        if (declared && *declared > limit) return tooLarge();
        std::vector<std::uint8_t>& body = response.body;
        body.reserve(std::min(declared.value_or(kReadPiece), limit));
        for (;;) {
            if (slot_.cut()) return cancelledResponse();
            DWORD left = remainingMs();
            if (left == 0) return timedOut();
            WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_TIMEOUT, &left, sizeof left);
            // One byte beyond the limit is room enough to see it passed.
            const std::size_t piece = std::min(kReadPiece, limit - body.size() + 1);
            const std::size_t old = body.size();
            body.resize(old + piece);
            DWORD read = 0;
            if (!WinHttpReadData(request, body.data() + old, static_cast<DWORD>(piece), &read))
                return failure(GetLastError());
            body.resize(old + read);
            if (read == 0) break;
            if (body.size() > limit) return tooLarge();
        }
        if (declared && body.size() != *declared) {
            return failed(Outcome::Failed, "answer cut short at " + std::to_string(body.size()) + " of " +
                                               std::to_string(*declared) + " bytes");
        }
        return response;
    }

    // One request to url; location is set where its answer is a redirect.
    HttpResponse hop(const std::string& url, std::string& location) {
        const std::u16string wideUrl = fromUtf8(url);
        URL_COMPONENTS parts{};
        parts.dwStructSize = sizeof parts;
        parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
        if (!WinHttpCrackUrl(wide(wideUrl), 0, 0, &parts) || parts.dwHostNameLength == 0)
            return failed(Outcome::Failed, "bad URL");
        const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
        std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
        std::wstring extra(parts.lpszExtraInfo ? parts.lpszExtraInfo : L"", parts.dwExtraInfoLength);
        extra = extra.substr(0, extra.find(L'#'));
        if (path.empty()) path = L"/";
        path += extra;
        const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

        UniqueInternet connection(WinHttpConnect(options_.session, host.c_str(), parts.nPort, 0));
        if (!connection) return failure(GetLastError());
        UniqueInternet request(WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr,
                                                  WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                  secure ? WINHTTP_FLAG_SECURE : 0));
        if (!request) return failure(GetLastError());
        const SlotEntry entry(slot_, request);
        if (!entry.entered()) return cancelledResponse();
        if (!prepare(request.get(), secure)) return failure(GetLastError());
        if (!addHeaders(request.get())) return failed(Outcome::Failed, "a request header holds a line break");
        if (!applyTimeouts(request.get())) return timedOut();
        if (slot_.cut()) return cancelledResponse();
        if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                                0, 0))
            return failure(GetLastError());
        if (slot_.cut()) return cancelledResponse();
        if (!WinHttpReceiveResponse(request.get(), nullptr)) return failure(GetLastError());
        if (slot_.cut()) return cancelledResponse();

        HttpResponse response;
        const auto status = statusOf(request.get());
        auto headers = headersOf(request.get());
        if (!status || !headers) return failed(Outcome::Failed, "unreadable status or headers");
        response.outcome = Outcome::Answered;
        response.status = *status;
        response.headers = std::move(*headers);
        if (isRedirect(response.status) && !response.header("location").empty()) {
            location = std::string(response.header("location"));
            return response;
        }
        return readBody(request.get(), std::move(response));
    }

    const HttpRequest& request_;
    const RequestOptions& options_;
    RequestSlot& slot_;
    const SteadyClock::time_point deadline_;
};

}  // namespace

HttpResponse performRequest(const HttpRequest& request, const RequestOptions& options, RequestSlot& slot) {
    if (!options.session) return failed(Outcome::Failed, "WinHTTP is not available");
    return Fetch(request, options, slot).run();
}

HttpResponse cancelledResponse() { return failed(Outcome::Failed, "cancelled: the transport is closing"); }

}  // namespace vamu::win
