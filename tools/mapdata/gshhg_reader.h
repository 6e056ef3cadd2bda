#pragma once
// Reads the binned GSHHG netCDF files: shorelines with their levels and the
// levels at each bin's corners, rivers and borders with their classes.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vamu::mapdata {

// A point inside a bin, 0 .. 65535 from the bin's south-west corner.
struct BinPoint {
    std::uint16_t x = 0;
    std::uint16_t y = 0;
};

struct Segment {
    int level = 0;  // shore: 1 land, 2 lake, 3 island in lake, 4 pond; lines: their class
    int entry = 4;  // shore: the side where it enters the bin (0 S, 1 E, 2 N, 3 W), 4 closed
    int exit = 4;
    std::vector<BinPoint> points;
};

struct Bin {
    int row = 0;                        // counted from the north
    int column = 0;                     // counted east from 0°
    int cornerLevel[4] = {0, 0, 0, 0};  // SW, SE, NE, NW
    std::vector<Segment> segments;
};

struct BinnedFile {
    int binMinutes = 0;
    int binsAcross = 0;     // in 360° of longitude
    std::vector<Bin> bins;  // those that overlap the region asked for
    double south(const Bin& b) const { return 90.0 - (b.row + 1) * binMinutes / 60.0; }
    double west(const Bin& b) const { return b.column * binMinutes / 60.0; }
};

struct Region {
    double west, east, south, north;  // degrees
};

class NetcdfError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

BinnedFile readShore(const std::string& path, const Region& region);
BinnedFile readLines(const std::string& path, const Region& region);

}  // namespace vamu::mapdata
