#include "mapcontrol/replacement_map_control.h"

#include <algorithm>
#include <utility>

#include "contracts/runtime_error.h"
#include "engine/vb.h"
#include "mapcontrol/collections.h"
#include "mapcontrol/map_data.h"
#include "mapcontrol/map_drawing.h"
#include "mapcontrol/tiles/tile_service.h"
#include "mapcontrol/view.h"

namespace vamu::mapcontrol {

namespace {

// A new control looks at Tokyo Station (Tokyo datum).
constexpr std::int32_t kStartLat = 128441000;
constexpr std::int32_t kStartLng = 503173000;

std::int32_t checkedScale(std::int32_t scale) {
    if (scale <= 0) raise(ErrorNumber::InvalidPropertyValue);
    return scale;
}

}  // namespace

struct ReplacementMapControl::State {
    Clipboard& clipboard;
    std::vector<DataSet> catalogue;
    PersistedSettings settings;
    View view;
    bool overviewMode = false;
    PositionChanged handler;
    tiles::TileService* tiles = nullptr;

    const DataSet* dataSet() const {
        const auto it = std::find_if(catalogue.begin(), catalogue.end(),
                                     [&](const DataSet& d) { return d.areaCode == settings.areaCode; });
        return it == catalogue.end() ? nullptr : &*it;
    }

    // Moves the centre and tells the handler, which gets any failure of its
    // own back to the caller. The handler is copied first: it may replace
    // itself while it runs.
    void moveTo(std::int32_t lat, std::int32_t lng) {
        view.lat = lat;
        view.lng = lng;
        const PositionChanged raiseEvent = handler;
        if (raiseEvent) raiseEvent(lat, lng, 0);
    }
};

ReplacementMapControl::ReplacementMapControl(Clipboard& clipboard, std::vector<DataSet> catalogue,
                                             PersistedSettings settings, float widthPixels,
                                             float heightPixels)
    : state_(std::make_shared<State>(
          State{clipboard, std::move(catalogue), std::move(settings), {}, false, {}, nullptr})) {
    state_->view = View{kStartLat, kStartLng, checkedScale(state_->settings.layerScale),
                        pixelsFromProperty(widthPixels), pixelsFromProperty(heightPixels)};
}

// An area code that names no data set is kept: the control then lists no
// layers and draws sea and graticule only.
void ReplacementMapControl::setAreaCode(const std::u16string& code) { state_->settings.areaCode = code; }

std::unique_ptr<MapLayers> ReplacementMapControl::layers() {
    const DataSet* set = state_->dataSet();
    return makeLayerList(set ? set->layers : std::vector<LayerSpec>{});
}

std::unique_ptr<MapAreas> ReplacementMapControl::areas() {
    std::vector<std::u16string> codes;
    for (const DataSet& d : state_->catalogue) codes.push_back(d.areaCode);
    return makeAreaList(std::move(codes));
}

void ReplacementMapControl::setLayerScale(std::int32_t scale) { state_->view.scale = checkedScale(scale); }

void ReplacementMapControl::setOverviewMode(bool on) { state_->overviewMode = on; }

// The last two arguments carry nothing for this control.
void ReplacementMapControl::setCenter(std::int32_t lat, std::int32_t lng, std::int32_t, std::int32_t) {
    state_->moveTo(lat, lng);
}

void ReplacementMapControl::scrollBy(std::int32_t dx, std::int32_t dy) {
    const View& v = state_->view;
    const GeoPoint p = positionAt(v, v.width / 2.0 + dx, v.height / 2.0 + dy);
    const std::int32_t lat = vb::cLng(p.lat);
    const std::int32_t lng = vb::cLng(p.lng);
    state_->moveTo(lat, lng);
}

void ReplacementMapControl::pixelToLatLng(std::int32_t x, std::int32_t y, std::int32_t& lat,
                                          std::int32_t& lng) {
    const MsecPosition p = roundedPositionAt(state_->view, x, y);
    lat = p.lat;
    lng = p.lng;
}

void ReplacementMapControl::copyToClipboard() { state_->clipboard.setImage(render()); }

// Accepted and ignored: this control's drawing has no display options.
void ReplacementMapControl::setDisplayOption(std::int32_t, const std::u16string&, std::int32_t) {}

void ReplacementMapControl::setWidth(float pixels) { state_->view.width = pixelsFromProperty(pixels); }

void ReplacementMapControl::setHeight(float pixels) { state_->view.height = pixelsFromProperty(pixels); }

void ReplacementMapControl::onPositionChanged(PositionChanged handler) {
    state_->handler = std::move(handler);
}

void ReplacementMapControl::useTiles(tiles::TileService* service) { state_->tiles = service; }

Image ReplacementMapControl::render() const {
    const MapData* data = state_->dataSet() ? builtInMapData().data.get() : nullptr;
    if (state_->tiles && !state_->overviewMode) {
        if (auto picture = state_->tiles->draw(state_->view, data)) return std::move(*picture);
    }
    return drawMap(state_->view, {data, state_->overviewMode});
}

std::int32_t ReplacementMapControl::centreLat() const { return state_->view.lat; }
std::int32_t ReplacementMapControl::centreLng() const { return state_->view.lng; }
std::int32_t ReplacementMapControl::layerScale() const { return state_->view.scale; }
const std::u16string& ReplacementMapControl::areaCode() const { return state_->settings.areaCode; }
bool ReplacementMapControl::overviewMode() const { return state_->overviewMode; }
std::int32_t ReplacementMapControl::widthPixels() const { return state_->view.width; }
std::int32_t ReplacementMapControl::heightPixels() const { return state_->view.height; }
std::vector<DataSet>& ReplacementMapControl::catalogue() { return state_->catalogue; }

PersistedSettings ReplacementMapControl::settings() const {
    PersistedSettings s = state_->settings;
    s.layerScale = state_->view.scale;
    return s;
}

}  // namespace vamu::mapcontrol
