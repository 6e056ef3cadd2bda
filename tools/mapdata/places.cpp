#include "places.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vamu::mapdata {

std::vector<PlaceRecord> readPlaces(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<PlaceRecord> places;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::vector<std::string> fields;
        std::stringstream ss(line);
        for (std::string f; std::getline(ss, f, '\t');) fields.push_back(f);
        if (fields.size() == 5 && line.back() == '\t') fields.emplace_back();  // no feature code
        if (fields.size() != 6) throw std::runtime_error("bad place line: " + line);
        places.push_back({fields[1], std::stod(fields[2]), std::stod(fields[3]),
                          static_cast<std::uint32_t>(std::stoul(fields[4])), fields[5]});
    }
    return places;
}

std::u32string decodeUtf8(const std::string& text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra && i + static_cast<std::size_t>(k) < text.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

}  // namespace vamu::mapdata
