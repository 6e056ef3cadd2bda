#include "simulator/arguments.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <map>

namespace vamu::sim {

const char* const kUsage =
    "usage: vamu-host [--host-dir DIR] [--callsign CALL] [--size WxH] [--trace] [--png] [--no-start]\n"
    "                 REQUEST...\n"
    "requests: corners X1 Y1 X2 Y2 | centre X Y | resize WxH | zoom-in | zoom-out | zoom-all |\n"
    "          pan CODE | layer N | safe-call | show-panel | close-panel | menu N | favourites\n"
    "vamu-host --help lists them all.\n";

const char* const kHelp =
    "usage: vamu-host [OPTION...] REQUEST...\n"
    "Plays the host program: calls Initialize and GetSupportedFeatures on the map server plug-in,\n"
    "then runs the requests in the order given. One line per event and result on standard output;\n"
    "the panel's log and the map bitmap's path on standard error.\n"
    "\n"
    "options:\n"
    "  --host-dir DIR    the host's directory, made with its MAPS folder when missing (default ./uiview)\n"
    "  --callsign CALL   the operator's call sign handed to Initialize (default JA1VAM)\n"
    "  --size WxH        the host's picture box in pixels (default 640x480)\n"
    "  --trace           a line for every call on the two map controls and the settings-file write\n"
    "  --png             a PNG copy beside the map bitmap (where the build has libpng); an older copy\n"
    "                    is removed when none is written\n"
    "  --no-start        no corners before the first request (a bare session: error 91 until corners)\n"
    "  --source NAME     the map's source for this session: builtin (the offline map, the default),\n"
    "                    gsi-std, gsi-pale, gsi-photo (地理院タイル), osm (OpenStreetMap), url (--tile-url)\n"
    "                    or a source of the settings file\n"
    "  --tile-url TEMPLATE  a tile server of your own for this session, http(s) with {z}, {x}, {y};\n"
    "                    chosen unless --source says otherwise\n"
    "  --tile-cache DIR  the tile cache folder (default: the settings', else ~/.cache/vamuMapserver/tiles)\n"
    "  --tile-wait SECONDS  how long a drawing waits for its tiles before it publishes (default 10;\n"
    "                    0 publishes at once and again as tiles arrive, before the session ends)\n"
    "  --offline         no tile request at all: cached tiles and the offline map only\n"
    "  -h, --help        this text\n"
    "  --version         the version of vamu-host\n"
    "\n"
    "requests (the host hands its picture box over with corners; unless the first request is corners,\n"
    "it starts the session with corners around the first request's point (centre X Y) or around\n"
    "the default view, 139.55 35.85 140.05 35.55, and prints its lines as any other):\n"
    "  corners X1 Y1 X2 Y2   DrawMapFromCorners for a rectangle (WGS84 degrees, X longitude)\n"
    "  centre X Y            DrawMapFromCentre\n"
    "  resize WxH            resizes the picture box, then ResizeMap\n"
    "  zoom-in, zoom-out     ZoomIn, ZoomOut: the next layer in or out\n"
    "  zoom-all              ZoomAll\n"
    "  pan CODE              ZoomPan; CODE: 4 north, 8 south, 1 west, 2 east,\n"
    "                        5 north-west, 6 north-east, 9 south-west, 10 south-east, 0 none\n"
    "  layer N               a click on the panel's layer button N (0 to 12)\n"
    "  safe-call             SafeCall: the last corners again\n"
    "  show-panel            ShowControlPanel\n"
    "  close-panel           the user closing the panel\n"
    "  menu N                SpecialMenuOption with index N\n"
    "  favourites            AddToFavouriteViews, LoadFavouriteViews, SaveFavouriteViews\n"
    "  source NAME           the operator picks the map's source on the panel (kept in the settings)\n"
    "  prefetch X1 Y1 X2 Y2 FIRST-LAST  downloads the current source's tiles of a rectangle for the\n"
    "                        layers FIRST to LAST (0 to 12), the count first; refused where the\n"
    "                        source's terms forbid it (osm always, GSI over 2,000 tiles)\n"
    "\n"
    "example: vamu-host --png corners 139.55 35.85 140.05 35.55 zoom-in pan 6 layer 5\n"
    "exit status: 0 every request succeeded, 1 Initialize failed, 2 bad arguments, 3 a later request\n"
    "raised an error (the session goes on after it)\n";

namespace {

struct Reader {
    const std::vector<std::string>& args;
    std::size_t next = 0;
    std::string& error;

    bool more() const { return next < args.size(); }
    const std::string* take(const std::string& what) {
        if (!more()) {
            error = what + " is missing";
            return nullptr;
        }
        return &args[next++];
    }
    bool degree(std::vector<double>& out) {
        const std::string* text = take("a coordinate");
        if (!text) return false;
        double value = 0;
        const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
        if (ec != std::errc{} || end != text->data() + text->size() || !std::isfinite(value)) {
            error = "not a number: " + *text;
            return false;
        }
        out.push_back(value);
        return true;
    }
    bool integer(std::int16_t& out) {
        const std::string* text = take("a number");
        if (!text) return false;
        const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), out);
        if (ec != std::errc{} || end != text->data() + text->size()) {
            error = "not a 16-bit integer: " + *text;
            return false;
        }
        return true;
    }
    // FIRST-LAST, two layers 0 to 12, FIRST not after LAST.
    bool layers(std::int16_t& first, std::int16_t& last) {
        const std::string* text = take("layers FIRST-LAST");
        if (!text) return false;
        const char* p = text->data();
        const char* end = p + text->size();
        const auto r = std::from_chars(p, end, first);
        if (r.ec == std::errc{} && r.ptr != end && *r.ptr == '-') {
            const auto r2 = std::from_chars(r.ptr + 1, end, last);
            if (r2.ec == std::errc{} && r2.ptr == end && first >= 0 && first <= last && last <= 12)
                return true;
        }
        error = "not layers FIRST-LAST (0 to 12): " + *text;
        return false;
    }
    bool size(std::int32_t& width, std::int32_t& height) {
        const std::string* text = take("a size WxH");
        if (!text) return false;
        const char* p = text->data();
        const char* end = p + text->size();
        auto r = std::from_chars(p, end, width);
        if (r.ec == std::errc{} && r.ptr != end && (*r.ptr == 'x' || *r.ptr == 'X')) {
            const auto r2 = std::from_chars(r.ptr + 1, end, height);
            if (r2.ec == std::errc{} && r2.ptr == end && width > 0 && height > 0) return true;
        }
        error = "not a size WxH: " + *text;
        return false;
    }
};

bool readRequest(Reader& in, const std::string& word, Options& options) {
    static const std::map<std::string, RequestKind> kinds = {
        {"corners", RequestKind::Corners},
        {"centre", RequestKind::Centre},
        {"resize", RequestKind::Resize},
        {"zoom-in", RequestKind::ZoomIn},
        {"zoom-out", RequestKind::ZoomOut},
        {"zoom-all", RequestKind::ZoomAll},
        {"pan", RequestKind::Pan},
        {"layer", RequestKind::Layer},
        {"safe-call", RequestKind::SafeCall},
        {"show-panel", RequestKind::ShowPanel},
        {"close-panel", RequestKind::ClosePanel},
        {"menu", RequestKind::Menu},
        {"favourites", RequestKind::Favourites},
        {"source", RequestKind::Source},
        {"prefetch", RequestKind::Prefetch},
    };
    const auto kind = kinds.find(word);
    if (kind == kinds.end()) {
        in.error = "unknown request: " + word;
        return false;
    }
    Request request{};
    request.kind = kind->second;
    bool ok = true;
    switch (request.kind) {
        case RequestKind::Corners:
            for (int i = 0; ok && i < 4; ++i) ok = in.degree(request.degrees);
            break;
        case RequestKind::Centre:
            for (int i = 0; ok && i < 2; ++i) ok = in.degree(request.degrees);
            break;
        case RequestKind::Resize:
            ok = in.size(request.width, request.height);
            break;
        case RequestKind::Pan:
        case RequestKind::Layer:
        case RequestKind::Menu:
            ok = in.integer(request.code);
            break;
        case RequestKind::Source:
            if (const std::string* name = in.take("a source's name")) {
                request.name = *name;
            } else {
                ok = false;
            }
            break;
        case RequestKind::Prefetch:
            for (int i = 0; ok && i < 4; ++i) ok = in.degree(request.degrees);
            ok = ok && in.layers(request.firstLayer, request.lastLayer);
            break;
        default:
            break;
    }
    if (ok) options.requests.push_back(request);
    return ok;
}

}  // namespace

std::optional<Options> parseArguments(const std::vector<std::string>& args, std::string& error) {
    Options options;
    Reader in{args, 0, error};
    while (in.more()) {
        const std::string word = args[in.next++];
        const std::string* value = nullptr;
        if (word == "--help" || word == "-h") {
            options.help = true;
        } else if (word == "--version") {
            options.version = true;
        } else if (word == "--trace") {
            options.trace = true;
        } else if (word == "--png") {
            options.png = true;
        } else if (word == "--no-start") {
            options.start = false;
        } else if (word == "--host-dir") {
            if (!(value = in.take("--host-dir DIR"))) return std::nullopt;
            options.hostDir = *value;
        } else if (word == "--callsign") {
            if (!(value = in.take("--callsign CALL"))) return std::nullopt;
            options.callsign = *value;
        } else if (word == "--size") {
            if (!in.size(options.width, options.height)) return std::nullopt;
        } else if (word == "--offline") {
            options.tiles.offline = true;
        } else if (word == "--source") {
            if (!(value = in.take("--source NAME"))) return std::nullopt;
            options.tiles.source = *value;
        } else if (word == "--tile-url") {
            if (!(value = in.take("--tile-url TEMPLATE"))) return std::nullopt;
            options.tiles.url = *value;
        } else if (word == "--tile-cache") {
            if (!(value = in.take("--tile-cache DIR"))) return std::nullopt;
            options.tiles.cache = *value;
        } else if (word == "--tile-wait") {
            std::int16_t seconds = 0;
            if (!in.integer(seconds) || seconds < 0 || seconds > 600) {
                error = "--tile-wait takes 0 to 600 seconds";
                return std::nullopt;
            }
            options.tiles.waitSeconds = seconds;
        } else if (word.starts_with("-") && word.size() > 1 &&
                   !std::isdigit(static_cast<unsigned char>(word[1]))) {
            error = "unknown option: " + word;
            return std::nullopt;
        } else if (!readRequest(in, word, options)) {
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace vamu::sim
