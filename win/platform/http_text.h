#pragma once
// The text of HTTP answers as the WinHTTP transport sees it: the raw header
// block and the target of a redirect.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vamu::win {

// The header lines after the status line ("Name: value" separated by CR LF),
// names in lower case, values without surrounding blanks; folded lines join
// the value before them. At most maxHeaders are kept.
std::vector<std::pair<std::string, std::string>> parseRawHeaders(std::string_view raw,
                                                                 std::size_t maxHeaders = 256);

// A redirect's Location made absolute against the URL that answered it: an
// absolute URL, "//host/path", "/path" or a path relative to the base's folder.
std::string resolveLocation(std::string_view base, std::string_view location);

// "http" or "https" (in any case) as the URL's scheme.
bool isHttpUrl(std::string_view url);

// The decimal value of a Content-Length header; nothing for another text.
std::optional<std::size_t> contentLength(std::string_view value);

}  // namespace vamu::win
