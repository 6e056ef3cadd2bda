#pragma once
// The control panel: the plug-in's own window, owner of the hidden main map
// Atlas and the visible overview miniAtlas, the layer buttons and the log.

#include <memory>

#include "contracts/host.h"
#include "contracts/widgets.h"
#include "engine/module.h"
#include "engine/status.h"

namespace vamu {

class Form1 : public PanelAccess {
public:
    // Creation: builds the widgets and runs SetMapMode, whose first use of a
    // map control loads the window (the load steps) first.
    explicit Form1(Module& module);

    // PanelAccess
    MapControl& atlas() override;
    MapControl& miniAtlas() override;
    TextBox& log() override;
    void show() override;
    void setVisible(bool visible) override;
    void sTest() override;
    void option_change() override;

    // Event handlers, as the widgets raise them.
    void Option1_Click(std::int16_t index);
    void miniAtlas_PositionChanged(std::int32_t lat, std::int32_t lng, std::int32_t unused);
    void Form_QueryUnload(bool& cancel);
    // The operator picks the map's source in the list.
    void SourceList_Click(std::int32_t index);

    PanelWidgets& widgets() { return *widgets_; }
    // How the last event the widgets raised (a click, a position change)
    // ended; its failure goes back to the raiser, which does not act on it.
    const Status& lastEventStatus() const noexcept { return lastEventStatus_; }

private:
    void Form_Load();
    void SetMapMode();
    void FillSourceList();

    Module& module_;
    std::unique_ptr<PanelWidgets> widgets_;
    std::shared_ptr<HostAutomation> objUIV_;
    ObjectRef objMap_;
    Status lastEventStatus_;
};

// The panel maker a Module takes.
std::unique_ptr<PanelAccess> makeForm1(Module& module);

}  // namespace vamu
