#include "native/memory_panel.h"

namespace vamu::native {
namespace {

mapcontrol::PersistedSettings storedSettings(bool scrollBar) {
    mapcontrol::PersistedSettings settings;
    settings.areaCode = u"RDW2010";
    settings.layerScale = 5000000;
    settings.scrollBar = scrollBar;
    settings.mouseScroll = true;
    settings.keydownScroll = false;
    return settings;
}

}  // namespace

MemoryPanelWidgets::MemoryPanelWidgets(Clipboard& clipboard, const std::vector<mapcontrol::DataSet>& catalogue)
    : miniAtlas_(clipboard, catalogue, storedSettings(true), kMiniAtlasWidthPixels, kMiniAtlasHeightPixels),
      atlas_(clipboard, catalogue, storedSettings(false), kAtlasWidthPixels, kAtlasHeightPixels) {}

MemoryPanelWidgets::~MemoryPanelWidgets() {
    if (tracker_ && *tracker_ == this) *tracker_ = nullptr;
}

MemoryPanelFactory::MemoryPanelFactory(Clipboard& clipboard, std::vector<mapcontrol::DataSet> catalogue)
    : clipboard_(clipboard), catalogue_(std::move(catalogue)) {}

std::unique_ptr<PanelWidgets> MemoryPanelFactory::create() {
    if (failure_) throw *failure_;
    auto panel = std::make_unique<MemoryPanelWidgets>(clipboard_, catalogue_);
    panel->tracker_ = last_;
    *last_ = panel.get();
    ++created_;
    return panel;
}

}  // namespace vamu::native
