#pragma once
// The map tiles on this machine: libcurl in the background, libpng and
// libjpeg, the cache in the user's cache folder, the settings file in the
// user's configuration folder.

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

#include "contracts/tile_platform.h"
#include "mapcontrol/tiles/tile_service.h"

namespace vamu::native {

// $VAMU_CONFIG, else vamuMapserver/vamuMapserver.ini in $XDG_CONFIG_HOME
// (~/.config where unset).
std::filesystem::path tileSettingsFile();
// vamuMapserver/tiles in $XDG_CACHE_HOME (~/.cache where unset).
std::filesystem::path defaultTileCacheFolder();

// The settings file's text; empty where it is missing. A file that cannot be
// read or is implausibly long gives nothing, for the defaults.
std::optional<std::string> readTileSettingsText(const std::filesystem::path& file);

class SystemTileClock : public TileClock {
public:
    std::int64_t unixSeconds() override;
    std::int64_t monotonicMillis() override;
};

// Remembers a wake-up; the simulator looks between requests.
class FlagWaker : public HostThreadWaker {
public:
    void wake() override { woken_.store(true); }
    bool take() { return woken_.exchange(false); }

private:
    std::atomic<bool> woken_{false};
};

struct NativeTileOptions {
    tiles::TileSessionOptions session;
    std::filesystem::path cacheFolder;  // empty: the settings' or the default
    std::filesystem::path settingsFile = tileSettingsFile();
    std::string caFile;  // a certificate authority to trust besides the system's (tests)
};

// Owns the platform's pieces and the service built on them.
class NativeTiles {
public:
    explicit NativeTiles(NativeTileOptions options);
    ~NativeTiles();
    NativeTiles(const NativeTiles&) = delete;
    NativeTiles& operator=(const NativeTiles&) = delete;

    tiles::TileService& service() noexcept { return *service_; }
    FlagWaker& waker() noexcept { return waker_; }

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    FlagWaker waker_;
    std::unique_ptr<tiles::TileService> service_;
};

}  // namespace vamu::native
