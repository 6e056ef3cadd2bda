#pragma once
// The module-level state of one apartment: the store, the services of the
// platform, and the single control panel, created on first use.

#include <functional>
#include <memory>
#include <string>

#include "contracts/services.h"
#include "engine/store.h"

namespace vamu {

namespace tiles {
class TileService;
}

// The control panel as the engine reaches it.
class PanelAccess {
public:
    virtual ~PanelAccess() = default;
    virtual MapControl& atlas() = 0;
    virtual MapControl& miniAtlas() = 0;
    virtual TextBox& log() = 0;
    virtual void show() = 0;  // modeless, without owner
    virtual void setVisible(bool visible) = 0;
    virtual void sTest() = 0;          // reload the layer table
    virtual void option_change() = 0;  // bring the buttons in line
};

class Module {
public:
    using PanelMaker = std::function<std::unique_ptr<PanelAccess>(Module&)>;

    Module(Services& services, PanelMaker makePanel);

    Store store;
    Services& services;
    // The map tiles of the built-in map, where the platform offers them.
    tiles::TileService* tiles = nullptr;

    // The panel; the first call creates it (creation and load run then, and
    // a failure leaves no panel behind).
    PanelAccess& panel();
    bool hasPanel() const noexcept { return panel_ != nullptr; }

private:
    PanelMaker makePanel_;
    std::unique_ptr<PanelAccess> panel_;
};

}  // namespace vamu
