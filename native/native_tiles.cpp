#include "native/native_tiles.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "contracts/text.h"
#include "engine/module.h"
#include "mapcontrol/tiles/tile_fetcher.h"
#include "native/atomic_file.h"
#include "native/cache_files.h"
#include "native/curl_transport.h"
#include "native/tile_decoder.h"
#include "native/version_info.h"

namespace vamu::native {
namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kMaxSettingsBytes = 1u << 20;

fs::path environmentFolder(const char* variable, const char* homeFallback) {
    if (const char* value = std::getenv(variable); value && *value) return fs::path(value);
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / homeFallback;
}

// The choice goes into the file the settings came from, every other line
// kept as it was.
void saveSourceChoice(const fs::path& file, const std::string& source) {
    const std::string text = readTileSettingsText(file).value_or(std::string{});
    const std::string updated = tiles::withSourceChoice(text, source);
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    replaceFileAtomically(file,
                          std::span(reinterpret_cast<const std::uint8_t*>(updated.data()), updated.size()));
}

std::string userAgent() { return tiles::tileUserAgent(VAMU_VERSION); }

}  // namespace

fs::path tileSettingsFile() {
    if (const char* value = std::getenv("VAMU_CONFIG"); value && *value) return fs::path(value);
    return environmentFolder("XDG_CONFIG_HOME", ".config") / "vamuMapserver" / "vamuMapserver.ini";
}

fs::path defaultTileCacheFolder() {
    return environmentFolder("XDG_CACHE_HOME", ".cache") / "vamuMapserver" / "tiles";
}

std::optional<std::string> readTileSettingsText(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(file, ec)) return std::string{};
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec || size > kMaxSettingsBytes) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return text;
}

std::int64_t SystemTileClock::unixSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t SystemTileClock::monotonicMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct NativeTiles::Parts {
    SystemTileClock clock;
    TileDecoder decoder;
    std::unique_ptr<DiskCacheFiles> files;
    std::unique_ptr<CurlTransport> http;
};

NativeTiles::NativeTiles(NativeTileOptions options) : parts_(std::make_unique<Parts>()) {
    std::vector<std::u16string> startLog;
    std::vector<std::string> problems;
    tiles::TileSettings settings;
    if (const auto text = readTileSettingsText(options.settingsFile)) {
        settings = tiles::parseTileSettings(*text, problems);
    } else {
        problems.push_back("cannot be read");
    }
    if (!problems.empty()) {
        startLog.push_back(u"設定: " + fromUtf8(options.settingsFile.string()) + u": " +
                           fromUtf8(problems.front()) + (problems.size() > 1 ? u" ほか" : u""));
    }
    fs::path cacheFolder = options.cacheFolder;
    if (cacheFolder.empty())
        cacheFolder =
            settings.cacheFolder.empty() ? defaultTileCacheFolder() : fs::path(settings.cacheFolder);
    parts_->files = std::make_unique<DiskCacheFiles>(cacheFolder);
    if (!options.session.offline)
        parts_->http = std::make_unique<CurlTransport>(CurlTransport::Options{options.caFile});
    const fs::path settingsFile = options.settingsFile;
    service_ = std::make_unique<tiles::TileService>(
        tiles::TilePlatform{parts_->http.get(), parts_->decoder, parts_->files.get(), parts_->clock, waker_},
        std::move(settings), options.session, userAgent(),
        [settingsFile](const std::string& source) { saveSourceChoice(settingsFile, source); });
    for (const auto& line : startLog) service_->note(line);
}

NativeTiles::~NativeTiles() {
    // The service (and its fetcher) goes before the transport it uses.
    service_.reset();
    parts_.reset();
}

}  // namespace vamu::native
