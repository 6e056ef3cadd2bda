#pragma once
// The project's own map control: data sets of fixed-scale layers, a centre
// in Tokyo-datum msec, a pixel size, and a north-up drawing whose pixel (0, 0)
// is the top-left corner and (Width, Height) the bottom-right one.

#include <cstdint>
#include <string>
#include <vector>

#include "contracts/map_control.h"
#include "contracts/picture.h"
#include "contracts/platform.h"

namespace vamu::tiles {
class TileService;
}

namespace vamu::mapcontrol {

struct LayerSpec {
    std::u16string title;
    std::int32_t scale = 0;  // 1:scale
    std::int32_t id = 0;
    bool enabled = true;
};

struct DataSet {
    std::u16string areaCode;
    std::vector<LayerSpec> layers;  // in the order the control lists them
};

struct MapDataLoad;

// "RDW2010": 13 layers from nationwide (1:5,000,000) down to street level,
// and a regional set; none when the map data could not be loaded.
std::vector<DataSet> catalogueFor(const MapDataLoad& load);
// The catalogue for the built-in map data.
std::vector<DataSet> defaultCatalogue();

// The settings stored with a control on its window.
struct PersistedSettings {
    std::u16string areaCode = u"RDW2010";
    std::int32_t layerScale = 5000000;
    bool scrollBar = false;
    bool mouseScroll = true;
    bool keydownScroll = false;
};

class ReplacementMapControl : public MapControl {
public:
    ReplacementMapControl(Clipboard& clipboard, std::vector<DataSet> catalogue, PersistedSettings settings,
                          float widthPixels, float heightPixels);

    // MapControl
    void setAreaCode(const std::u16string& code) override;
    std::unique_ptr<MapLayers> layers() override;
    std::unique_ptr<MapAreas> areas() override;
    void setLayerScale(std::int32_t scale) override;
    void setOverviewMode(bool on) override;
    void setCenter(std::int32_t lat, std::int32_t lng, std::int32_t a, std::int32_t b) override;
    void pixelToLatLng(std::int32_t x, std::int32_t y, std::int32_t& lat, std::int32_t& lng) override;
    void copyToClipboard() override;
    void setDisplayOption(std::int32_t a, const std::u16string& b, std::int32_t c) override;
    void setWidth(float pixels) override;
    void setHeight(float pixels) override;
    void onPositionChanged(PositionChanged handler) override;

    // The user's scrolling or dragging by a number of pixels (x right, y
    // down): moves the centre and raises PositionChanged.
    void scrollBy(std::int32_t dx, std::int32_t dy);
    // Draws from map tiles where the service's source is a tile server
    // (not in overview mode); null keeps the built-in map only.
    void useTiles(tiles::TileService* service);

    // What the control holds, for drawing windows, tests and traces.
    Image render() const;
    std::int32_t centreLat() const;
    std::int32_t centreLng() const;
    std::int32_t layerScale() const;
    const std::u16string& areaCode() const;
    bool overviewMode() const;
    std::int32_t widthPixels() const;
    std::int32_t heightPixels() const;
    // The settings as they would be stored with the control now.
    PersistedSettings settings() const;
    // The data sets the control offers; tests change them to probe callers.
    std::vector<DataSet>& catalogue();

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace vamu::mapcontrol
