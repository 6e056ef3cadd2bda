#pragma once
// A replacement map control of 320 x 240 pixels at 1:1,000,000, centred on
// 35°N 139°E, with a clipboard that keeps what it is given.

#include <gtest/gtest.h>

#include <cstdint>

#include "contracts/runtime_error.h"
#include "mapcontrol/replacement_map_control.h"
#include "support/error_of.h"

namespace vamu::mapcontrol::fixture {

inline constexpr std::int32_t kMsecPerDegree = 3600000;
inline constexpr std::int32_t kLat35 = 35 * kMsecPerDegree;
inline constexpr std::int32_t kLng139 = 139 * kMsecPerDegree;

class RecordingClipboard : public Clipboard {
public:
    void setImage(const Image& image) override {
        last = image;
        ++sets;
    }
    bool hasBitmap() override { return sets > 0; }
    PictureRef picture() override { return {}; }

    Image last;
    int sets = 0;
};

using testing::errorOf;

struct Position {
    std::int32_t lat = 0, lng = 0;
    bool operator==(const Position&) const = default;
};

class MapControlFixture : public ::testing::Test {
protected:
    MapControlFixture() {
        control.setCenter(kLat35, kLng139, 1, 0);
        control.setLayerScale(1000000);
    }

    Position at(std::int32_t x, std::int32_t y) {
        Position p;
        control.pixelToLatLng(x, y, p.lat, p.lng);
        return p;
    }

    void look(double latDeg, double lngDeg, std::int32_t scale) {
        control.setCenter(static_cast<std::int32_t>(latDeg * kMsecPerDegree),
                          static_cast<std::int32_t>(lngDeg * kMsecPerDegree), 1, 0);
        control.setLayerScale(scale);
    }

    RecordingClipboard clipboard;
    ReplacementMapControl control{clipboard, defaultCatalogue(), {}, 320, 240};
};

}  // namespace vamu::mapcontrol::fixture
