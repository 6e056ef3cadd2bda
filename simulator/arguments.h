#pragma once
// The command line of vamu-host.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vamu::sim {

enum class RequestKind {
    Corners,
    Centre,
    Resize,
    ZoomIn,
    ZoomOut,
    ZoomAll,
    Pan,
    Layer,
    SafeCall,
    ShowPanel,
    ClosePanel,
    Menu,
    Favourites,
    Source,    // the operator picks a map source on the panel
    Prefetch,  // a bulk download of the current source's tiles
};

struct Request {
    RequestKind kind;
    std::vector<double> degrees;                 // corners: X1 Y1 X2 Y2; centre: X Y
    std::int32_t width = 0, height = 0;          // resize
    std::int16_t code = 0;                       // pan code, layer button, menu index
    std::string name{};                          // source
    std::int16_t firstLayer = 0, lastLayer = 0;  // prefetch: X1 Y1 X2 Y2 in degrees
};

// The map tiles of the session.
struct TileOptions {
    std::optional<std::string> source;  // --source NAME
    std::optional<std::string> url;     // --tile-url TEMPLATE
    std::optional<std::string> cache;   // --tile-cache DIR
    std::int32_t waitSeconds = 10;      // --tile-wait SECONDS
    bool offline = false;               // --offline
};

struct Options {
    std::string hostDir = "uiview";
    std::string callsign = "JA1VAM";
    std::int32_t width = 640, height = 480;
    bool trace = false;
    bool png = false;
    bool start = true;     // --no-start clears it: no corners before the first request
    bool help = false;     // --help, -h: print the usage and stop
    bool version = false;  // --version: print the version and stop
    TileOptions tiles;
    std::vector<Request> requests;
};

// The options, or nothing with the reason in error.
std::optional<Options> parseArguments(const std::vector<std::string>& args, std::string& error);

// The synopsis, for a command line that is wrong.
extern const char* const kUsage;
// The synopsis with every request, option and pan code, for --help.
extern const char* const kHelp;

}  // namespace vamu::sim
