#pragma once
// The control's picture of a view: sea, land and lakes, coasts, rivers and
// borders, places with their names, a graticule with labels, a scale bar, a
// mark at the centre and the data's attribution.

#include <vector>

#include "contracts/picture.h"
#include "mapcontrol/map_data.h"
#include "mapcontrol/place_labels.h"
#include "mapcontrol/view.h"

namespace vamu::mapcontrol {

struct DrawingOptions {
    const MapData* data = nullptr;  // null: sea and graticule only
    bool overviewMode = false;      // a frame at the centre instead of a cross
    bool bare = false;              // sea, land and lines only: no graticule, labels or furniture
};

// What a drawing placed, for those who check it.
struct DrawingReport {
    std::vector<PlacedLabel> places;
    std::vector<PixelBox> furniture;  // graticule labels, scale bar, attribution, centre mark
    Resolution resolution = Resolution::Crude;
};

Image drawMap(const View& view, const DrawingOptions& options, DrawingReport* report = nullptr);

// The scale bar (bottom left) and the centre mark on their own, for pictures
// of the view drawn by other means; each gives the box it covers (an empty
// box when the picture has no room for a scale bar).
PixelBox drawScaleBar(Image& image, const View& view, const MapData* data);
PixelBox drawCentreMark(Image& image, const View& view, bool overviewMode);

// The shoreline resolution drawn at a scale.
Resolution resolutionFor(std::int32_t scale);

inline constexpr char32_t kAttribution[] = U"© GSHHG (LGPL), GeoNames (CC BY 4.0), IPA Font";

}  // namespace vamu::mapcontrol
