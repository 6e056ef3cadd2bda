#include "mapcontrol/tiles/tile_settings.h"

#include <optional>

#include "mapcontrol/tiles/http_text.h"

namespace vamu::tiles {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

struct Line {
    std::size_t begin = 0;     // of the content, in the text
    std::string_view content;  // without the line break
    std::size_t number = 0;    // from 1
};

std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t at = text.starts_with(kBom) ? kBom.size() : 0;
    while (at < text.size()) {
        const std::size_t newline = text.find('\n', at);
        std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        if (end > at && text[end - 1] == '\r') --end;
        lines.push_back({at, text.substr(at, end - at), lines.size() + 1});
        at = newline == std::string_view::npos ? text.size() : newline + 1;
    }
    return lines;
}

enum class Kind { Ignored, Section, Key, Other };

struct Classified {
    Kind kind = Kind::Ignored;
    std::string_view name;   // the section's, or the key's
    std::string_view value;  // the key's, trimmed
};

Classified classify(std::string_view content) {
    const std::string_view line = http::trim(content);
    if (line.empty() || line.front() == ';' || line.front() == '#') return {};
    if (line.front() == '[') {
        if (line.back() != ']') return {Kind::Other, {}, {}};
        return {Kind::Section, http::trim(line.substr(1, line.size() - 2)), {}};
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) return {Kind::Other, {}, {}};
    return {Kind::Key, http::trim(line.substr(0, eq)), http::trim(line.substr(eq + 1))};
}

bool isTilesSection(std::string_view name) { return http::equalsIgnoringCase(name, "tiles"); }

// "source NAME": the name; nothing for another section.
std::optional<std::string_view> userSourceName(std::string_view section) {
    if (section.size() < 7 || !http::equalsIgnoringCase(section.substr(0, 6), "source")) return std::nullopt;
    if (section[6] != ' ' && section[6] != '\t') return std::nullopt;
    return http::trim(section.substr(7));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
    std::size_t number = 0;
};

struct Section {
    std::string_view name;
    std::size_t number = 0;  // of its header line; 0 before the first header
    std::vector<KeyLine> keys;

    // The first line of that key, or null.
    const KeyLine* find(std::string_view key) const {
        for (const KeyLine& k : keys) {
            if (http::equalsIgnoringCase(k.key, key)) return &k;
        }
        return nullptr;
    }
};

std::string at(std::size_t number) {
    return std::string(kSettingsFileName) + " " + std::to_string(number) + " 行目: ";
}

// Strict UTF-8 (no overlong forms, no surrogates) as code points.
std::optional<std::u32string> decodeUtf8(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        if (length == 0 || i + length > text.size()) return std::nullopt;
        char32_t c = length == 1 ? lead : lead & (0x7FU >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0U) != 0x80U) return std::nullopt;
            c = (c << 6) | (next & 0x3FU);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
        out.push_back(c);
        i += length;
    }
    return out;
}

bool hasControl(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return true;
    }
    return false;
}

std::optional<std::uint64_t> number(std::string_view text, std::uint64_t most) {
    const auto value = http::deltaSeconds(text);
    if (!value || static_cast<std::uint64_t>(*value) > most) return std::nullopt;
    return static_cast<std::uint64_t>(*value);
}

std::optional<std::string> nameProblem(std::string_view name, const std::vector<TileSource>& known) {
    if (name.empty()) return "[source 名前] の名前がありません";
    if (name.size() > kMaxSourceNameLength || hasControl(name) || !decodeUtf8(name)) {
        return "地図の名前は " + std::to_string(kMaxSourceNameLength) + " バイトまでの文字で付けてください";
    }
    if (builtInSource(name) != nullptr) return "「" + std::string(name) + "」は内蔵の地図の名前です";
    for (const TileSource& s : known) {
        if (s.name == name) return "「" + std::string(name) + "」はもう使われています";
    }
    return std::nullopt;
}

// A zoom key of the section: its default where absent, nothing where bad.
std::optional<std::int32_t> zoomOf(const Section& section, std::string_view key, std::int32_t fallback,
                                   std::string& problem) {
    const KeyLine* line = section.find(key);
    if (line == nullptr) return fallback;
    const auto zoom = number(line->value, static_cast<std::uint64_t>(kMaxZoom));
    if (!zoom) problem = at(line->number) + std::string(key) + " は 0 から 22 までの数です";
    return zoom ? std::optional<std::int32_t>(static_cast<std::int32_t>(*zoom)) : std::nullopt;
}

// The user's source of a section, or a problem.
std::optional<TileSource> userSource(const Section& section, std::string_view name,
                                     const std::vector<TileSource>& known, std::string& problem) {
    const std::string where = at(section.number) + "[source " + std::string(name) + "]: ";
    if (auto p = nameProblem(name, known)) return problem = where + *p, std::nullopt;
    TileSource s;
    s.name = std::string(name);
    const KeyLine* url = section.find("url");
    if (url == nullptr) return problem = where + "url= がありません", std::nullopt;
    if (auto p = templateProblem(url->value)) return problem = at(url->number) + *p, std::nullopt;
    s.urlTemplate = std::string(url->value);
    const auto minZoom = zoomOf(section, "min_zoom", 0, problem);
    const auto maxZoom = zoomOf(section, "max_zoom", 19, problem);
    if (!minZoom || !maxZoom) return std::nullopt;
    if (*minZoom > *maxZoom) return problem = where + "min_zoom が max_zoom より大きい", std::nullopt;
    s.minZoom = *minZoom;
    s.maxZoom = *maxZoom;
    if (const KeyLine* credit = section.find("credit")) {
        auto text = decodeUtf8(credit->value);
        if (!text || text->size() > kMaxCreditLength || hasControl(credit->value)) {
            return problem =
                       at(credit->number) + "credit は " + std::to_string(kMaxCreditLength) + " 文字までです",
                   std::nullopt;
        }
        s.credit = std::move(*text);
    }
    if (const KeyLine* bulk = section.find("bulk")) {
        const bool yes = http::equalsIgnoringCase(bulk->value, "yes");
        if (!yes && !http::equalsIgnoringCase(bulk->value, "no")) {
            return problem = at(bulk->number) + "bulk は yes か no です", std::nullopt;
        }
        s.bulk = yes ? BulkPolicy::Allowed : BulkPolicy::Forbidden;
    }
    return s;
}

void readTiles(const Section& section, TileSettings& settings, std::vector<std::string>& problems) {
    if (const KeyLine* cache = section.find("cache")) settings.cacheFolder = std::string(cache->value);
    if (const KeyLine* limit = section.find("cache_limit_mb")) {
        if (const auto mb = number(limit->value, kMaxCacheLimitMb)) {
            settings.cacheLimitBytes = *mb << 20;
        } else {
            problems.push_back(at(limit->number) + "cache_limit_mb は 0 から " +
                               std::to_string(kMaxCacheLimitMb) + " までの数です (MB)");
        }
    }
}

std::vector<Section> sectionsOf(std::string_view text, std::vector<std::string>& problems) {
    std::vector<Section> sections(1);
    for (const Line& line : splitLines(text)) {
        const Classified c = classify(line.content);
        if (c.kind == Kind::Section) sections.push_back({c.name, line.number, {}});
        if (c.kind == Kind::Key) sections.back().keys.push_back({c.name, c.value, line.number});
        const bool known = isTilesSection(sections.back().name) || userSourceName(sections.back().name);
        if (c.kind == Kind::Other && known) problems.push_back(at(line.number) + "読めない行です");
    }
    return sections;
}

// The text with its last line ended, so that a line can follow: a lone CR
// at the end gets its LF, as the reader took it for a line break already.
std::string endedLine(std::string text, std::string_view eol) {
    if (!text.empty() && text.back() == '\r') return text + "\n";
    if (!text.empty() && text.back() != '\n') return text + std::string(eol);
    return text;
}

}  // namespace

std::vector<TileSource> TileSettings::sources() const {
    std::vector<TileSource> all = builtInSources();
    all.insert(all.end(), userSources.begin(), userSources.end());
    return all;
}

const TileSource* TileSettings::find(std::string_view name) const {
    if (const TileSource* s = builtInSource(name)) return s;
    for (const TileSource& s : userSources) {
        if (s.name == name) return &s;
    }
    return nullptr;
}

const TileSource& TileSettings::chosen() const {
    const TileSource* s = find(source);
    return s != nullptr ? *s : builtInSources().front();
}

TileSettings parseTileSettings(std::string_view text, std::vector<std::string>& problems) {
    TileSettings settings;
    if (text.size() > kMaxSettingsBytes || text.find('\0') != std::string_view::npos || !decodeUtf8(text)) {
        problems.push_back(std::string(kSettingsFileName) + " が壊れているため、初期設定で動きます");
        settings.damaged = true;
        return settings;
    }
    const std::vector<Section> sections = sectionsOf(text, problems);
    const KeyLine* chosen = nullptr;
    for (const Section& section : sections) {
        if (isTilesSection(section.name)) {
            if (chosen == nullptr) chosen = section.find("source");
            readTiles(section, settings, problems);
        } else if (const auto name = userSourceName(section.name)) {
            std::string problem;
            if (auto s = userSource(section, *name, settings.userSources, problem)) {
                settings.userSources.push_back(std::move(*s));
            } else {
                problems.push_back(problem + "。この地図は使いません");
            }
        }
    }
    if (chosen != nullptr) {
        if (settings.find(chosen->value) != nullptr) {
            settings.source = std::string(chosen->value);
        } else {
            problems.push_back(at(chosen->number) + "地図「" + std::string(chosen->value) +
                               "」がないため、内蔵の地図を使います");
        }
    }
    return settings;
}

std::string withSourceChoice(std::string_view text, std::string_view sourceName) {
    if (sourceName.empty() || hasControl(sourceName) || http::trim(sourceName) != sourceName ||
        !decodeUtf8(sourceName)) {
        return std::string(text);
    }
    const std::size_t firstNewline = text.find('\n');
    const std::string_view eol =
        firstNewline != std::string_view::npos && (firstNewline == 0 || text[firstNewline - 1] != '\r')
            ? "\n"
            : "\r\n";
    const std::vector<Line> lines = splitLines(text);
    const Line* header = nullptr;
    bool inTiles = false;
    for (const Line& line : lines) {
        const Classified c = classify(line.content);
        if (c.kind == Kind::Section) {
            inTiles = isTilesSection(c.name);
            if (inTiles && header == nullptr) header = &line;
        }
        if (!inTiles || c.kind != Kind::Key || !http::equalsIgnoringCase(c.name, "source")) continue;
        // Only the value changes: the key, the blanks and the line break stay.
        const std::size_t eq = line.content.find('=');
        std::size_t from = eq + 1;
        while (from < line.content.size() && (line.content[from] == ' ' || line.content[from] == '\t'))
            ++from;
        const std::size_t to = std::max(from, line.content.find_last_not_of(" \t") + 1);
        std::string out(text.substr(0, line.begin + from));
        out += sourceName;
        out += text.substr(line.begin + to);
        return out;
    }
    const std::string entry = "source=" + std::string(sourceName);
    if (header != nullptr) {
        const std::size_t next = text.find('\n', header->begin + header->content.size());
        if (next == std::string_view::npos)
            return endedLine(std::string(text), eol) + entry + std::string(eol);
        return std::string(text.substr(0, next + 1)) + entry + std::string(eol) +
               std::string(text.substr(next + 1));
    }
    return endedLine(std::string(text), eol) + "[tiles]" + std::string(eol) + entry + std::string(eol);
}

}  // namespace vamu::tiles
