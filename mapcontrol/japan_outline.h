#pragma once
// A coarse outline of Japan's main islands, in degrees (north and east
// positive) on the Tokyo datum. Good to a few kilometres: enough to tell
// land from sea on an overview, not a survey.

#include <span>

namespace vamu::mapcontrol {

struct DegreePoint {
    double lat;
    double lng;
};

std::span<const std::span<const DegreePoint>> japanOutlines();

}  // namespace vamu::mapcontrol
