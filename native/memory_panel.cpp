#include "native/memory_panel.h"

#include "panel/stored_settings.h"

namespace vamu::native {

MemoryPanelWidgets::MemoryPanelWidgets(Clipboard& clipboard,
                                       const std::vector<mapcontrol::DataSet>& catalogue)
    : miniAtlas_(clipboard, catalogue, storedMapSettings(true), kMiniAtlasWidthPixels,
                 kMiniAtlasHeightPixels),
      atlas_(clipboard, catalogue, storedMapSettings(false), kAtlasWidthPixels, kAtlasHeightPixels) {}

MemoryPanelWidgets::~MemoryPanelWidgets() {
    if (tracker_ && *tracker_ == this) *tracker_ = nullptr;
}

MemoryPanelFactory::MemoryPanelFactory(Clipboard& clipboard, std::vector<mapcontrol::DataSet> catalogue)
    : clipboard_(clipboard), catalogue_(std::move(catalogue)) {}

std::unique_ptr<PanelWidgets> MemoryPanelFactory::create() {
    if (failure_) throw *failure_;
    auto panel = std::make_unique<MemoryPanelWidgets>(clipboard_, catalogue_);
    panel->atlas().useTiles(tiles_);
    panel->tracker_ = last_;
    *last_ = panel.get();
    ++created_;
    return panel;
}

}  // namespace vamu::native
