#pragma once
// The control panel's widgets in memory, with the project's own map controls
// in the panel's layout: the overview miniAtlas 4215 x 3735 twips and the main
// map Atlas 6135 x 3735 twips, at 15 twips per pixel.

#include <memory>
#include <optional>
#include <vector>

#include "contracts/runtime_error.h"
#include "contracts/services.h"
#include "mapcontrol/replacement_map_control.h"
#include "native/memory_widgets.h"

namespace vamu::native {

inline constexpr float kMiniAtlasWidthPixels = 4215.0f / 15.0f;   // 281
inline constexpr float kMiniAtlasHeightPixels = 3735.0f / 15.0f;  // 249
inline constexpr float kAtlasWidthPixels = 6135.0f / 15.0f;       // 409
inline constexpr float kAtlasHeightPixels = 3735.0f / 15.0f;      // 249

class MemoryPanelWidgets : public PanelWidgets {
public:
    MemoryPanelWidgets(Clipboard& clipboard, const std::vector<mapcontrol::DataSet>& catalogue);
    ~MemoryPanelWidgets() override;
    MemoryPanelWidgets(const MemoryPanelWidgets&) = delete;
    MemoryPanelWidgets& operator=(const MemoryPanelWidgets&) = delete;

    MemoryWindow& window() override { return window_; }
    mapcontrol::ReplacementMapControl& atlas() override { return atlas_; }
    mapcontrol::ReplacementMapControl& miniAtlas() override { return miniAtlas_; }
    MemoryTextBox& log() override { return log_; }
    MemoryFrame& frame() override { return frame_; }
    MemoryOptionButtons& options() override { return options_; }
    MemoryChoiceList& sources() override { return sources_; }

private:
    friend class MemoryPanelFactory;

    MemoryWindow window_;
    mapcontrol::ReplacementMapControl miniAtlas_;
    mapcontrol::ReplacementMapControl atlas_;
    MemoryTextBox log_;
    MemoryFrame frame_{u"縮小率"};
    MemoryOptionButtons options_{13};
    MemoryChoiceList sources_;
    std::shared_ptr<MemoryPanelWidgets*> tracker_;  // the factory's pointer to the newest panel
};

class MemoryPanelFactory : public PanelFactory {
public:
    explicit MemoryPanelFactory(Clipboard& clipboard,
                                std::vector<mapcontrol::DataSet> catalogue = mapcontrol::defaultCatalogue());

    // Fails with the arranged error, if any, before anything is built.
    std::unique_ptr<PanelWidgets> create() override;

    // The data sets that the next panel's map controls offer.
    std::vector<mapcontrol::DataSet>& catalogue() noexcept { return catalogue_; }
    // The newest panel while it lives, otherwise null.
    MemoryPanelWidgets* lastCreated() const noexcept { return *last_; }
    int createdCount() const noexcept { return created_; }
    void failCreation(std::optional<RuntimeError> error) { failure_ = std::move(error); }
    // The main map of every panel made from now on draws from these tiles.
    void useTiles(tiles::TileService* service) noexcept { tiles_ = service; }

private:
    Clipboard& clipboard_;
    std::vector<mapcontrol::DataSet> catalogue_;
    std::shared_ptr<MemoryPanelWidgets*> last_ = std::make_shared<MemoryPanelWidgets*>(nullptr);
    int created_ = 0;
    std::optional<RuntimeError> failure_;
    tiles::TileService* tiles_ = nullptr;
};

}  // namespace vamu::native
