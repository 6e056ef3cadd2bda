#pragma once
// The map tiles of one apartment on Windows: WinHTTP in the background
// (made on the first request, so that the built-in map never loads it), WIC
// for decoding, the cache in the user's local application data, the settings
// file in the roaming one, and the panel's window as the host thread's
// wake-up target.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "contracts/tile_platform.h"
#include "mapcontrol/tiles/tile_service.h"

namespace vamu::win {

// %VAMU_CONFIG%, else %APPDATA%\vamuMapserver\vamuMapserver.ini.
std::u16string tileSettingsFile();
// %LOCALAPPDATA%\vamuMapserver\tiles.
std::u16string defaultTileCacheFolder();
// The session's choices from the process environment: VAMU_TILE_SOURCE,
// VAMU_TILE_URL, VAMU_TILE_WAIT (whole seconds, 0 to 600; 0 when unset or
// unreadable), VAMU_OFFLINE=1.
tiles::TileSessionOptions tileSessionFromEnvironment();
// The settings file's text; empty where it is missing, nothing where it
// cannot be read or is implausibly long.
std::optional<std::string> readTileSettingsText(const std::u16string& file);

// Posts the wake-up message to a window set later: the panel's, once it
// exists. Wake-ups before that are dropped; the arrivals are remembered by
// the service and handled on the next wake-up.
class PanelWaker : public HostThreadWaker {
public:
    void setWindow(HWND window) noexcept { window_.store(window); }
    void wake() override;

private:
    std::atomic<HWND> window_{nullptr};
};

class WinTiles {
public:
    // Reads the settings and the environment; makes no request.
    WinTiles();
    ~WinTiles();
    WinTiles(const WinTiles&) = delete;
    WinTiles& operator=(const WinTiles&) = delete;

    tiles::TileService& service() noexcept { return *service_; }

    // The host thread's tile work (ServiceTiles with whatever guards the COM
    // layer adds): returns the milliseconds after which it wants to run again,
    // 0 for no need. Runs nothing until the apartment sets it.
    using Pump = std::function<std::int64_t()>;
    void setPump(Pump pump) { pump_ = std::move(pump); }

    // The panel's window takes the wake-ups from now on.
    void attach(HWND panel) noexcept { waker_.setWindow(panel); }
    // The panel window's share: the wake-up message and the timer run the
    // pump (the timer set again for the time it asks for), the settled
    // query is answered. Nothing for every other message.
    std::optional<LRESULT> onPanelMessage(HWND panel, UINT message, WPARAM wParam);

private:
    std::int64_t runPump(HWND panel);

    struct Parts;
    std::unique_ptr<Parts> parts_;
    PanelWaker waker_;
    std::unique_ptr<tiles::TileService> service_;
    Pump pump_;
    bool pumping_ = false;
};

}  // namespace vamu::win
