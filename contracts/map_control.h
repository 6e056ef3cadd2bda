#pragma once
// The map control, as the panel and the engine call it. Positions are msec
// on the Tokyo datum, pixels count from the control's top-left corner.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vamu {

class MapLayer {
public:
    virtual ~MapLayer() = default;
    virtual std::u16string title() = 0;
    virtual std::int32_t layerScale() = 0;
    virtual std::int32_t layerID() = 0;  // narrowed by the caller
    virtual bool enabled() = 0;
};

class MapLayers {
public:
    virtual ~MapLayers() = default;
    virtual std::int32_t count() = 0;
    virtual std::unique_ptr<MapLayer> item(std::int32_t& index) = 0;
};

class MapArea {
public:
    virtual ~MapArea() = default;
    virtual std::u16string areaCode() = 0;
};

class MapAreas {
public:
    virtual ~MapAreas() = default;
    virtual std::int32_t count() = 0;
    virtual std::unique_ptr<MapArea> item(std::int32_t& index) = 0;
};

class MapControl {
public:
    // latitude, longitude, and a third value the panel does not use.
    using PositionChanged = std::function<void(std::int32_t, std::int32_t, std::int32_t)>;

    virtual ~MapControl() = default;
    virtual void setAreaCode(const std::u16string& code) = 0;  // id 1
    virtual std::unique_ptr<MapLayers> layers() = 0;           // id 2
    virtual std::unique_ptr<MapAreas> areas() = 0;             // id 3
    virtual void setLayerScale(std::int32_t scale) = 0;        // id 4
    virtual void setOverviewMode(bool on) = 0;                 // id 32
    virtual void setCenter(std::int32_t lat, std::int32_t lng, std::int32_t a,
                           std::int32_t b) = 0;  // id 45
    virtual void pixelToLatLng(std::int32_t x, std::int32_t y, std::int32_t& lat,
                               std::int32_t& lng) = 0;  // id 49
    virtual void copyToClipboard() = 0;                 // id 64
    virtual void setDisplayOption(std::int32_t a, const std::u16string& b,
                                  std::int32_t c) = 0;  // id 100
    virtual void setWidth(float pixels) = 0;            // container property
    virtual void setHeight(float pixels) = 0;           // container property
    // The event sink; the handler's failure goes back to the raiser.
    virtual void onPositionChanged(PositionChanged handler) = 0;
};

}  // namespace vamu
