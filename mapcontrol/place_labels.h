#pragma once
// Populated places on the map: a dot and a name each, the larger places
// first, at most one label on any pixel.

#include <cstdint>
#include <vector>

#include "mapcontrol/canvas.h"
#include "mapcontrol/map_data.h"
#include "mapcontrol/view.h"

namespace vamu::mapcontrol {

// Pixels x0 .. x1 - 1, y0 .. y1 - 1.
struct PixelBox {
    std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool overlaps(const PixelBox& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

struct PlacedLabel {
    const Place* place = nullptr;
    double dotX = 0, dotY = 0;
    std::size_t font = 0;
    PixelBox box;  // the text with its halo
};

// The smallest population shown at the view's scale.
std::uint32_t minimumPopulation(std::int32_t scale);

// Chooses the labels that fit: inside the picture, clear of each other and
// of the boxes already taken.
std::vector<PlacedLabel> placeLabels(const MapData& data, const View& view,
                                     const std::vector<PixelBox>& taken);

void drawPlaceLabels(Canvas& canvas, const MapData& data, const std::vector<PlacedLabel>& labels);

}  // namespace vamu::mapcontrol
