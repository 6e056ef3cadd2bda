#pragma once
// Closes a bin's shoreline segments into rings that fill the bin: segments
// that cross the bin are joined along the bin's edges, once walking
// counter-clockwise (the dry rings, odd levels) and once clockwise (the wet
// rings, even levels); segments closed inside the bin are rings of their own.
// Painted in order, the rings give every point of the bin its level.

#include <vector>

#include "gshhg_reader.h"

namespace vamu::mapdata {

struct RingPiece {
    bool corner = false;
    int index = 0;  // a segment of the bin, or a corner 0 SW, 1 SE, 2 NE, 3 NW
};

struct Ring {
    int level = 0;
    std::vector<RingPiece> pieces;
};

std::vector<Ring> ringsOf(const Bin& bin);

}  // namespace vamu::mapdata
