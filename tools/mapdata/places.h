#pragma once
// Populated places read from the tab-separated export of export-places.js.

#include <cstdint>
#include <string>
#include <vector>

namespace vamu::mapdata {

struct PlaceRecord {
    std::string name;
    double lat = 0, lng = 0;  // WGS84 degrees
    std::uint32_t population = 0;
    std::string featureCode;
};

std::vector<PlaceRecord> readPlaces(const std::string& path);

// The code points of UTF-8 text.
std::u32string decodeUtf8(const std::string& text);

}  // namespace vamu::mapdata
