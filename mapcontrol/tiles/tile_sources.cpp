#include "mapcontrol/tiles/tile_sources.h"

#include "mapcontrol/tiles/credit_texts.h"

namespace vamu::tiles {
namespace {

TileSource gsi(std::string name, std::string path, std::int32_t minZoom) {
    TileSource s;
    s.name = std::move(name);
    s.urlTemplate = "https://cyberjapandata.gsi.go.jp/xyz/" + path;
    s.minZoom = minZoom;
    s.maxZoom = 18;
    s.credit = credits::kGsi;
    s.bulk = BulkPolicy::Limited;
    s.bulkLimit = kGsiBulkLimit;
    return s;
}

std::vector<TileSource> makeBuiltIns() {
    TileSource builtin;
    builtin.name = "builtin";
    TileSource photo = gsi("gsi-photo", "seamlessphoto/{z}/{x}/{y}.jpg", 2);
    photo.creditsByZoom = {{credits::kGsiPhotoLandsatMaxZoom, credits::kGsiPhotoLandsat},
                           {credits::kGsiPhotoMosaicMaxZoom, credits::kGsiPhotoMosaic}};
    TileSource osm;
    osm.name = "osm";
    osm.urlTemplate = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
    osm.minZoom = 0;
    osm.maxZoom = 19;
    osm.credit = credits::kOsm;
    osm.bulk = BulkPolicy::Forbidden;  // the tile usage policy forbids prefetching
    return {builtin, gsi("gsi-std", "std/{z}/{x}/{y}.png", 2), gsi("gsi-pale", "pale/{z}/{x}/{y}.png", 5),
            std::move(photo), std::move(osm)};
}

bool startsWithIgnoringCase(std::string_view text, std::string_view start) {
    if (text.size() < start.size()) return false;
    for (std::size_t i = 0; i < start.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != start[i]) return false;
    }
    return true;
}

// The placeholder at the front of text ("{z}" ...), or nothing.
std::optional<char> placeholderAt(std::string_view text) {
    for (const char c : {'z', 'x', 'y'}) {
        if (text.size() >= 3 && text[0] == '{' && text[1] == c && text[2] == '}') return c;
    }
    return std::nullopt;
}

std::optional<std::string> charactersProblem(std::string_view t) {
    for (const char c : t) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) return "URL に制御文字があります";
        if (u == ' ') return "URL に空白があります (%20 と書いてください)";
        if (u >= 0x80) return "URL は ASCII 文字だけで書いてください (%XX の形に)";
    }
    return std::nullopt;
}

std::optional<std::string> placeholdersProblem(std::string_view t) {
    bool seen[3] = {false, false, false};
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '}') return "URL に対応のない } があります";
        if (t[i] != '{') continue;
        const auto p = placeholderAt(t.substr(i));
        if (!p) {
            const std::size_t close = t.find('}', i);
            return "URL の " + std::string(t.substr(i, close == std::string_view::npos ? 1 : close - i + 1)) +
                   " は使えません ({z} {x} {y} のみ)";
        }
        seen[*p == 'z' ? 0 : *p == 'x' ? 1 : 2] = true;
        i += 2;
    }
    if (!seen[0]) return "URL に {z} がありません";
    if (!seen[1]) return "URL に {x} がありません";
    if (!seen[2]) return "URL に {y} がありません";
    return std::nullopt;
}

}  // namespace

std::u32string TileSource::creditAt(std::int32_t zoom) const {
    for (const ZoomCredit& c : creditsByZoom) {
        if (zoom <= c.maxZoom) return c.text;
    }
    return credit;
}

const std::vector<TileSource>& builtInSources() {
    static const std::vector<TileSource> sources = makeBuiltIns();
    return sources;
}

const TileSource* builtInSource(std::string_view name) {
    for (const TileSource& s : builtInSources()) {
        if (s.name == name) return &s;
    }
    return nullptr;
}

std::optional<std::string> templateProblem(std::string_view t) {
    if (t.empty()) return "URL がありません";
    if (t.size() > kMaxTemplateLength) {
        return "URL が長すぎます (" + std::to_string(kMaxTemplateLength) + " バイトまで)";
    }
    if (auto problem = charactersProblem(t)) return problem;
    std::size_t hostAt = 0;
    if (startsWithIgnoringCase(t, "http://")) {
        hostAt = 7;
    } else if (startsWithIgnoringCase(t, "https://")) {
        hostAt = 8;
    } else {
        return "URL は http:// か https:// で始めてください";
    }
    const std::size_t hostEnd = t.find_first_of("/?#", hostAt);
    const std::string_view host =
        t.substr(hostAt, hostEnd == std::string_view::npos ? t.size() : hostEnd - hostAt);
    if (host.empty()) return "URL にサーバー名がありません";
    if (host.find('@') != std::string_view::npos) return "URL に利用者名やパスワード (@) は書けません";
    return placeholdersProblem(t);
}

std::string tileUrl(std::string_view urlTemplate, TileId id) {
    std::string url;
    url.reserve(urlTemplate.size() + 16);
    for (std::size_t i = 0; i < urlTemplate.size(); ++i) {
        if (const auto p = placeholderAt(urlTemplate.substr(i))) {
            url += std::to_string(*p == 'z' ? id.z : *p == 'x' ? id.x : id.y);
            i += 2;
        } else {
            url += urlTemplate[i];
        }
    }
    return url;
}

}  // namespace vamu::tiles
