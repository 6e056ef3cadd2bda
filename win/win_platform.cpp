#include "win/win_platform.h"

#include "engine/module.h"
#include "win/platform/clipboard.h"
#include "win/platform/clock.h"
#include "win/platform/host_binding.h"
#include "win/platform/messages.h"
#include "win/panel/panel_window.h"
#include "win/platform/pictures.h"
#include "win/platform/profile.h"
#include "win/platform/version.h"
#include "win/win_tiles.h"

namespace vamu::win {

struct WinPlatform::Impl {
    explicit Impl(HMODULE module)
        : panels(module, clipboard, clock), version(module), services{host,  clipboard, pictures, messages,
                                                                      clock, profile,   panels,   version} {}

    // Before the panels, which use them; after them in destruction.
    std::unique_ptr<WinTiles> tiles;
    WinHostBinding host;
    WinClipboard clipboard;
    WinPictures pictures;
    WinMessageBoxes messages;
    WinClock clock;
    WinProfileWriter profile;
    WinPanelFactory panels;
    WinVersionInfo version;
    Services services;
};

WinPlatform::WinPlatform(HMODULE module) : impl_(std::make_unique<Impl>(module)) {}

WinPlatform::~WinPlatform() = default;

Services& WinPlatform::services() { return impl_->services; }

WinTiles& WinPlatform::startTiles(Module& module) {
    if (!impl_->tiles) impl_->tiles = std::make_unique<WinTiles>();
    tiles::TileService* service = &impl_->tiles->service();
    module.tiles = service;
    impl_->panels.useTiles(impl_->tiles.get(),
                           [&module, service](bool used) { module.tiles = used ? service : nullptr; });
    return *impl_->tiles;
}

}  // namespace vamu::win
