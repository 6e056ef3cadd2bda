#include "panel/form1.h"

#include <algorithm>

#include "engine/layer_selection.h"
#include "engine/paths.h"
#include "engine/render_cycle.h"
#include "engine/activity_log.h"
#include "mapcontrol/tiles/tile_service.h"
#include "panel/source_labels.h"

namespace vamu {
namespace {

constexpr char16_t kDataSet[] = u"RDW2010";
constexpr char16_t kInstallDataSet[] = u"ProAtlas2002全国版DVDをインストールしてください";
constexpr std::int16_t kFixedSingle = 1;
constexpr std::int16_t kLastButton = 12;

}  // namespace

Form1::Form1(Module& module) : module_(module), widgets_(module.services.panels.create()) {
    // Event handlers run under the event delivery: a failure ends the
    // handling and goes back to the raiser as its status, which the
    // widgets and the map control do not act on.
    widgets_->options().onClick(
        [this](std::int16_t index) { lastEventStatus_ = guarded([&] { Option1_Click(index); }); });
    widgets_->miniAtlas().onPositionChanged([this](std::int32_t lat, std::int32_t lng, std::int32_t third) {
        lastEventStatus_ = guarded([&] { miniAtlas_PositionChanged(lat, lng, third); });
    });
    widgets_->window().onCloseRequest([this](bool& cancel) { Form_QueryUnload(cancel); });
    widgets_->sources().onChange(
        [this](std::int32_t index) { lastEventStatus_ = guarded([&] { SourceList_Click(index); }); });
    SetMapMode();
}

MapControl& Form1::atlas() { return widgets_->atlas(); }
MapControl& Form1::miniAtlas() { return widgets_->miniAtlas(); }
TextBox& Form1::log() { return widgets_->log(); }
void Form1::show() { widgets_->window().show(); }
void Form1::setVisible(bool visible) { widgets_->window().setVisible(visible); }

void Form1::Form_Load() {
    Store& store = module_.store;
    Window& window = widgets_->window();
    window.setCaption(store.strTitle);
    window.setBorderStyle(kFixedSingle);
    objUIV_ = module_.services.host.createAutomation();
    objMap_ = objUIV_->mapObject();
    store.strUIVPath = objUIV_->installationDirectory();
    store.strMapFile =
        joinPath(store.strUIVPath, u"MAPS\\!!" + module_.services.version.productName() + u".bmp");
    FillSourceList();
    miniAtlas().setOverviewMode(true);
    miniAtlas().setDisplayOption(1, u".", 1);
    atlas().setDisplayOption(1, u".", 0);
}

// Selects the nationwide data set on both maps, or asks for it.
void Form1::SetMapMode() {
    // The first use of a map control loads the window.
    Form_Load();
    const auto areas = atlas().areas();
    const std::int64_t last = std::int64_t{areas->count()} - 1;
    for (std::int32_t i = 0; i <= last; ++i) {
        if (areas->item(i)->areaCode() == kDataSet) {
            miniAtlas().setAreaCode(kDataSet);
            atlas().setAreaCode(kDataSet);
            return;
        }
    }
    module_.services.messages.show(kInstallDataSet, MessageButtons::Ok, std::nullopt);
}

// The built-in map first, then the tile servers; the source in use selected.
void Form1::FillSourceList() {
    ChoiceList& list = widgets_->sources();
    const tiles::TileService* service = module_.tiles;
    if (!service) {
        list.setItems({sourceLabel(tiles::builtInSources().front())});
        list.setSelected(0);
        return;
    }
    std::vector<std::u16string> items;
    std::int32_t selected = -1;
    for (const tiles::TileSource& source : service->sources()) {
        if (source.name == service->current().name) selected = static_cast<std::int32_t>(items.size());
        items.push_back(sourceLabel(source));
    }
    list.setItems(items);
    list.setSelected(selected);
}

void Form1::SourceList_Click(std::int32_t index) {
    tiles::TileService* service = module_.tiles;
    if (!service || index < 0 || static_cast<std::size_t>(index) >= service->sources().size()) return;
    const tiles::TileSource& source = service->sources()[static_cast<std::size_t>(index)];
    if (source.name == service->current().name) return;
    service->select(source.name);
    AddLog(module_, u"地図の出典: " + sourceLabel(source));
    // A picture the host already shows is drawn again from the new source.
    const Store& store = module_.store;
    if (store.picHost && store.frmHost && store.objEvents) RefreshMap(module_);
}

void Form1::Form_QueryUnload(bool& cancel) {
    cancel = true;
    widgets_->window().setVisible(false);
}

// Reloads the layer table from the main map.
void Form1::sTest() {
    Store& store = module_.store;
    const auto layers = atlas().layers();
    store.intLayerCount = vb::cInt(layers->count());
    const std::int32_t last = store.intLayerCount - 1;
    for (std::int32_t i = 0; i <= last; ++i) {
        const auto layer = layers->item(i);
        LayerInfo& entry = store.layer(i);
        entry.Title = layer->title();
        entry.LayerScale = layer->layerScale();
        entry.LayerID = vb::cInt(layer->layerID());
        entry.Enabled = vb::toBoolean(layer->enabled());
    }
}

// Brings the 13 layer buttons in line with the table. Only buttons that
// exist are touched: a control with 14 layers has no button for the last.
void Form1::option_change() {
    Store& store = module_.store;
    OptionButtons& buttons = widgets_->options();
    for (std::int16_t i = 0; i <= kLastButton; ++i) {
        buttons.button(i).setEnabled(store.udtLayers[static_cast<std::size_t>(i)].Enabled != vb::False);
    }
    const std::int16_t shown = std::clamp<std::int16_t>(store.intLayerCount, 0, kLastButton + 1);
    for (std::int16_t i = 0; i < shown; ++i) buttons.button(i).setVisible(true);
    for (std::int16_t i = shown; i <= kLastButton; ++i) buttons.button(i).setVisible(false);
    for (std::int16_t i = 0; i <= kLastButton; ++i) {
        buttons.button(i).setCaption(store.udtLayers[static_cast<std::size_t>(i)].Title);
    }
    if (store.intLayer >= 0 && store.intLayer <= kLastButton) {
        buttons.button(store.intLayer).setValue(true);
    } else {
        // The current layer has no button: none is shown selected.
        for (std::int16_t i = 0; i <= kLastButton; ++i) buttons.button(i).setValue(false);
    }
}

void Form1::Option1_Click(std::int16_t index) {
    sTest();
    std::int16_t layer = index;
    SelectLayer(module_, layer);
}

void Form1::miniAtlas_PositionChanged(std::int32_t lat, std::int32_t lng, std::int32_t /*unused*/) {
    atlas().setCenter(lat, lng, 1, 0);
    RefreshMap(module_);
    sTest();
}

std::unique_ptr<PanelAccess> makeForm1(Module& module) { return std::make_unique<Form1>(module); }

}  // namespace vamu
