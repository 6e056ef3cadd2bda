// Builds the map control's data set from the binned GSHHG shorelines, rivers
// and borders, GeoNames places and a font:
//   vamu-mapdata GSHHG_DIR PLACES_TSV FONT_FILE OUTPUT
// Every coordinate is converted once to Tokyo-datum msec, the frame the map
// control draws in.

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>

#include "bin_rings.h"
#include "engine/conversions.h"
#include "glyph_atlas.h"
#include "gshhg_reader.h"
#include "mapcontrol/map_data_format.h"
#include "mapcontrol/tiles/credit_texts.h"
#include "places.h"

namespace vamu::mapdata {

namespace {

// Japan and its seas, with the coasts of its neighbours.
constexpr Region kRegion{120.0, 156.0, 20.0, 50.0};
const std::vector<int> kGlyphSizes = {11, 13};
// GSHHG river classes (as the binned files count them, from 0) drawn at
// all: double-lined rivers (0), the permanent major and further rivers (1 to
// 3) and minor ones (4); intermittent streams and canals are left out.
constexpr int kMaxRiverClass = 4;

using Bytes = std::vector<std::uint8_t>;

struct Msec {
    std::int64_t lat = 0, lng = 0;
};

Msec toTokyoMsec(double latDeg, double lngDeg) {
    double lat = 0, lng = 0;
    WGS84ToTokyo(latDeg, lngDeg, lat, lng);
    return {std::llround(lat * 3600000.0), std::llround(lng * 3600000.0)};
}

void putSigned(Bytes& out, std::int64_t v) { putVarint(out, zigzag(v)); }

void putPoint(Bytes& out, Msec p, Msec& previous) {
    putSigned(out, p.lat - previous.lat);
    putSigned(out, p.lng - previous.lng);
    previous = p;
}

Bytes binBody(const BinnedFile& file, const Bin& bin, bool shore, int maxLevel) {
    const double size = file.binMinutes / 60.0;
    const double south = file.south(bin), west = file.west(bin);
    const Msec corners[4] = {toTokyoMsec(south, west), toTokyoMsec(south, west + size),
                             toTokyoMsec(south + size, west + size), toTokyoMsec(south + size, west)};
    Bytes body;
    for (const Msec& c : corners) {
        putSigned(body, c.lat);
        putSigned(body, c.lng);
    }
    std::vector<int> kept;
    for (std::size_t i = 0; i < bin.segments.size(); ++i) {
        if (shore || bin.segments[i].level <= maxLevel) kept.push_back(static_cast<int>(i));
    }
    putVarint(body, static_cast<std::uint32_t>(kept.size()));
    const double step = size / 65535.0;
    for (int i : kept) {
        const Segment& s = bin.segments[static_cast<std::size_t>(i)];
        putVarint(body, static_cast<std::uint32_t>(s.level));
        putVarint(body, static_cast<std::uint32_t>(s.points.size()));
        Msec previous = corners[0];
        for (const BinPoint& p : s.points)
            putPoint(body, toTokyoMsec(south + p.y * step, west + p.x * step), previous);
    }
    if (shore) {
        const std::vector<Ring> rings = ringsOf(bin);
        putVarint(body, static_cast<std::uint32_t>(rings.size()));
        for (const Ring& r : rings) {
            putVarint(body, static_cast<std::uint32_t>(r.level));
            putVarint(body, static_cast<std::uint32_t>(r.pieces.size()));
            for (const RingPiece& p : r.pieces)
                putVarint(body, static_cast<std::uint32_t>(2 * p.index + (p.corner ? 1 : 0)));
        }
    }
    return body;
}

// The points a reader holds once the rings are spelt out.
std::uint32_t decodedPoints(const Bin& bin, bool shore, int maxLevel) {
    std::uint32_t n = 0;
    for (const Segment& s : bin.segments) {
        if (shore || s.level <= maxLevel) n += static_cast<std::uint32_t>(s.points.size());
    }
    if (!shore) return n;
    for (const Ring& r : ringsOf(bin)) {
        for (const RingPiece& p : r.pieces) {
            n += p.corner ? 1
                          : static_cast<std::uint32_t>(
                                bin.segments[static_cast<std::size_t>(p.index)].points.size());
        }
    }
    return n;
}

Bytes geometrySection(const BinnedFile& file, bool shore, int maxLevel) {
    Bytes out;
    putVarint(out, static_cast<std::uint32_t>(file.binMinutes));
    putVarint(out, static_cast<std::uint32_t>(file.bins.size()));
    std::uint32_t points = 0;
    for (const Bin& bin : file.bins) points += decodedPoints(bin, shore, maxLevel);
    putVarint(out, points);
    for (const Bin& bin : file.bins) {
        const Bytes body = binBody(file, bin, shore, maxLevel);
        putVarint(out, static_cast<std::uint32_t>(bin.row));
        putVarint(out, static_cast<std::uint32_t>(bin.column));
        putVarint(out, static_cast<std::uint32_t>(body.size()));
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

PlaceKind kindOf(const std::string& featureCode) {
    if (featureCode == "PPLC") return PlaceKind::Capital;
    if (featureCode == "PPLA") return PlaceKind::PrefectureSeat;
    return PlaceKind::Town;
}

Bytes placeSection(const std::vector<PlaceRecord>& places) {
    Bytes out;
    putVarint(out, static_cast<std::uint32_t>(places.size()));
    for (const PlaceRecord& p : places) {
        const Msec m = toTokyoMsec(p.lat, p.lng);
        putSigned(out, m.lat);
        putSigned(out, m.lng);
        putVarint(out, p.population);
        putVarint(out, static_cast<std::uint32_t>(kindOf(p.featureCode)));
        putVarint(out, static_cast<std::uint32_t>(p.name.size()));
        out.insert(out.end(), p.name.begin(), p.name.end());
    }
    return out;
}

Bytes fontSection(const std::vector<GlyphSize>& sizes) {
    Bytes out;
    putVarint(out, static_cast<std::uint32_t>(sizes.size()));
    for (const GlyphSize& s : sizes) {
        putVarint(out, static_cast<std::uint32_t>(s.pixels));
        putVarint(out, static_cast<std::uint32_t>(s.ascent));
        putVarint(out, static_cast<std::uint32_t>(s.lineHeight));
        putVarint(out, static_cast<std::uint32_t>(s.glyphs.size()));
        for (const GlyphImage& g : s.glyphs) {
            putVarint(out, static_cast<std::uint32_t>(g.codePoint));
            putSigned(out, g.advance);
            putSigned(out, g.left);
            putSigned(out, g.top);
            putVarint(out, static_cast<std::uint32_t>(g.width));
            putVarint(out, static_cast<std::uint32_t>(g.height));
            out.insert(out.end(), g.coverage.begin(), g.coverage.end());
        }
    }
    return out;
}

void addSection(Bytes& payload, const std::string& tag, const Bytes& body) {
    payload.insert(payload.end(), tag.begin(), tag.end());
    putWord(payload, static_cast<std::uint32_t>(body.size()));
    payload.insert(payload.end(), body.begin(), body.end());
    std::cerr << tag << ": " << body.size() << " bytes\n";
}

std::set<char32_t> codePointsFor(const std::vector<PlaceRecord>& places) {
    std::set<char32_t> cps;
    for (char32_t c = 0x20; c < 0x7F; ++c) cps.insert(c);
    cps.insert(U'°');
    cps.insert(U'©');
    for (const char32_t* credit : vamu::tiles::credits::kAll) {
        for (const char32_t* c = credit; *c != 0; ++c) cps.insert(*c);
    }
    for (const PlaceRecord& p : places) {
        for (char32_t c : decodeUtf8(p.name)) cps.insert(c);
    }
    return cps;
}

int run(const std::string& gshhg, const std::string& placesPath, const std::string& font,
        const std::string& output) {
    Bytes payload;
    for (char r : kResolutions) {
        const std::string suffix(1, r);
        addSection(payload, "SHO" + suffix,
                   geometrySection(readShore(gshhg + "/binned_GSHHS_" + suffix + ".nc", kRegion), true, 0));
        addSection(payload, "RIV" + suffix,
                   geometrySection(readLines(gshhg + "/binned_river_" + suffix + ".nc", kRegion), false,
                                   kMaxRiverClass));
        addSection(payload, "BOR" + suffix,
                   geometrySection(readLines(gshhg + "/binned_border_" + suffix + ".nc", kRegion), false, 1));
    }
    std::vector<PlaceRecord> places = readPlaces(placesPath);
    std::erase_if(places, [](const PlaceRecord& p) {
        return p.lng < kRegion.west || p.lng > kRegion.east || p.lat < kRegion.south || p.lat > kRegion.north;
    });
    addSection(payload, "PLAC", placeSection(places));
    addSection(payload, "FONT", fontSection(renderGlyphs(font, kGlyphSizes, codePointsFor(places))));

    Bytes file(kMagic, kMagic + 4);
    putWord(file, kFormatVersion);
    putWord(file, static_cast<std::uint32_t>(payload.size()));
    putWord(file, crc32(payload));
    file.insert(file.end(), payload.begin(), payload.end());
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out) throw std::runtime_error("cannot write " + output);
    std::cerr << output << ": " << file.size() << " bytes\n";
    return 0;
}

}  // namespace

}  // namespace vamu::mapdata

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: vamu-mapdata GSHHG_DIR PLACES_TSV FONT_FILE OUTPUT\n";
        return 2;
    }
    try {
        return vamu::mapdata::run(argv[1], argv[2], argv[3], argv[4]);
    } catch (const std::exception& e) {
        std::cerr << "vamu-mapdata: " << e.what() << "\n";
        return 1;
    }
}
