#include "win/platform/http_text.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace vamu::win {
namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string lowered(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// The length of "scheme:" at the start of url, 0 where there is none.
std::size_t schemeLength(std::string_view url) {
    if (url.empty() || !std::isalpha(static_cast<unsigned char>(url[0]))) return 0;
    for (std::size_t i = 1; i < url.size(); ++i) {
        const char c = url[i];
        if (c == ':') return i + 1;
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return 0;
    }
    return 0;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> parseRawHeaders(std::string_view raw,
                                                                 std::size_t maxHeaders) {
    std::vector<std::pair<std::string, std::string>> headers;
    bool statusLine = true;
    while (!raw.empty()) {
        const std::size_t end = raw.find('\n');
        std::string_view line = raw.substr(0, end);
        raw = end == std::string_view::npos ? std::string_view{} : raw.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (std::exchange(statusLine, false) || line.empty()) continue;
        if ((line.front() == ' ' || line.front() == '\t') && !headers.empty()) {
            headers.back().second += ' ';
            headers.back().second += trimmed(line);
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0) continue;
        if (headers.size() == maxHeaders) break;
        headers.emplace_back(lowered(trimmed(line.substr(0, colon))),
                             std::string(trimmed(line.substr(colon + 1))));
    }
    return headers;
}

std::string resolveLocation(std::string_view base, std::string_view location) {
    location = trimmed(location);
    if (schemeLength(location) > 0) return std::string(location);
    const std::size_t scheme = schemeLength(base);
    if (location.starts_with("//")) return std::string(base.substr(0, scheme)) + std::string(location);
    // The authority ends at the first '/', '?' or '#' after "scheme://".
    const std::size_t authorityStart = base.substr(scheme).starts_with("//") ? scheme + 2 : scheme;
    const std::size_t pathStart = std::min(base.find_first_of("/?#", authorityStart), base.size());
    const std::string_view origin = base.substr(0, pathStart);
    if (location.starts_with('/')) return std::string(origin) + std::string(location);
    std::string_view path = base.substr(pathStart);
    path = path.substr(0, std::min(path.find_first_of("?#"), path.size()));
    const std::size_t slash = path.rfind('/');
    const std::string_view folder = slash == std::string_view::npos ? "/" : path.substr(0, slash + 1);
    return std::string(origin) + std::string(folder) + std::string(location);
}

bool isHttpUrl(std::string_view url) {
    const std::size_t length = schemeLength(url);
    const std::string scheme = lowered(url.substr(0, length));
    return (scheme == "http:" || scheme == "https:") && url.substr(length).starts_with("//");
}

std::optional<std::size_t> contentLength(std::string_view value) {
    value = trimmed(value);
    if (value.empty() || value.size() > 18) return std::nullopt;
    std::size_t result = 0;
    for (const char c : value) {
        if (c < '0' || c > '9') return std::nullopt;
        result = result * 10 + static_cast<std::size_t>(c - '0');
    }
    return result;
}

}  // namespace vamu::win
