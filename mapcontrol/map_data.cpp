#include "mapcontrol/map_data.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

#include "mapcontrol/map_data_format.h"

namespace vamu::mapcontrol {

namespace {

class Damaged : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Cursor {
public:
    explicit Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool done() const { return at_ == bytes_.size(); }
    std::uint32_t varint() {
        std::uint32_t v = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            if (at_ >= bytes_.size()) throw Damaged("truncated number");
            const std::uint8_t b = bytes_[at_++];
            v |= static_cast<std::uint32_t>(b & 0x7F) << shift;
            if (!(b & 0x80)) return v;
        }
        throw Damaged("overlong number");
    }
    std::int32_t signedVarint() { return mapdata::unzigzag(varint()); }
    // A count of items that each take at least `minBytes`: no count may
    // promise more than the bytes left.
    std::uint32_t count(std::size_t minBytes = 1) {
        const std::uint32_t n = varint();
        if (static_cast<std::uint64_t>(n) * minBytes > bytes_.size() - at_)
            throw Damaged("count beyond the data");
        return n;
    }
    std::span<const std::uint8_t> take(std::size_t n) {
        if (n > bytes_.size() - at_) throw Damaged("truncated block");
        const auto s = bytes_.subspan(at_, n);
        at_ += n;
        return s;
    }
    std::uint32_t word() { return mapdata::readWord(take(4).data()); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

void setBounds(Polyline& line, const std::vector<MsecPoint>& points) {
    line.south = line.west = INT32_MAX;
    line.north = line.east = INT32_MIN;
    for (std::uint32_t i = 0; i < line.count; ++i) {
        const MsecPoint& p = points[line.first + i];
        line.south = std::min(line.south, p.lat);
        line.north = std::max(line.north, p.lat);
        line.west = std::min(line.west, p.lng);
        line.east = std::max(line.east, p.lng);
    }
}

// More points than any data set of Japan needs: a bound on what damaged
// ring pieces could make the decoder copy.
constexpr std::size_t kMaxPoints = 20'000'000;

void copyPoints(Geometry& g, const Polyline& from) {
    if (g.points.size() + from.count > kMaxPoints) throw Damaged("too many points");
    // The copy below reads the same vector: make room first, growing
    // geometrically so that many small copies stay linear.
    if (g.points.capacity() < g.points.size() + from.count) {
        g.points.reserve(std::max(2 * g.points.capacity(), g.points.size() + from.count));
    }
    const auto begin = g.points.begin() + from.first;
    g.points.insert(g.points.end(), begin, begin + from.count);
}

void readBin(Cursor c, bool shore, Geometry& g) {
    GeoBin bin;
    MsecPoint corners[4];
    bin.south = bin.west = INT32_MAX;
    bin.north = bin.east = INT32_MIN;
    for (MsecPoint& p : corners) {
        p.lat = c.signedVarint();
        p.lng = c.signedVarint();
        bin.south = std::min(bin.south, p.lat);
        bin.north = std::max(bin.north, p.lat);
        bin.west = std::min(bin.west, p.lng);
        bin.east = std::max(bin.east, p.lng);
    }
    const std::uint32_t segments = c.count(2);
    for (std::uint32_t s = 0; s < segments; ++s) {
        Polyline line{static_cast<std::uint8_t>(c.varint()),
                      static_cast<std::uint32_t>(g.points.size()),
                      c.count(2),
                      0,
                      0,
                      0,
                      0};
        std::int64_t lat = corners[0].lat, lng = corners[0].lng;
        for (std::uint32_t i = 0; i < line.count; ++i) {
            lat += c.signedVarint();
            lng += c.signedVarint();
            g.points.push_back({static_cast<std::int32_t>(lat), static_cast<std::int32_t>(lng)});
            if (lat < INT32_MIN || lat > INT32_MAX || lng < INT32_MIN || lng > INT32_MAX) {
                throw Damaged("coordinate out of range");
            }
        }
        setBounds(line, g.points);
        bin.lines.push_back(line);
    }
    if (shore) {
        const std::uint32_t rings = c.count(2);
        for (std::uint32_t r = 0; r < rings; ++r) {
            Polyline ring{static_cast<std::uint8_t>(c.varint()),
                          static_cast<std::uint32_t>(g.points.size()),
                          0,
                          0,
                          0,
                          0,
                          0};
            const std::uint32_t pieces = c.count();
            for (std::uint32_t k = 0; k < pieces; ++k) {
                const std::uint32_t piece = c.varint();
                const std::uint32_t index = piece >> 1;
                if (piece & 1) {
                    if (index >= 4) throw Damaged("bad corner");
                    g.points.push_back(corners[index]);
                    continue;
                }
                if (index >= bin.lines.size()) throw Damaged("bad ring piece");
                copyPoints(g, bin.lines[index]);
            }
            ring.count = static_cast<std::uint32_t>(g.points.size()) - ring.first;
            setBounds(ring, g.points);
            bin.rings.push_back(ring);
        }
    }
    if (!c.done()) throw Damaged("bin longer than its contents");
    g.bins.push_back(std::move(bin));
}

Geometry readGeometry(std::span<const std::uint8_t> bytes, bool shore) {
    Cursor c(bytes);
    Geometry g;
    c.varint();  // bin size in minutes
    const std::uint32_t bins = c.count(3);
    const std::uint32_t points = c.varint();
    if (points > kMaxPoints) throw Damaged("too many points");
    g.points.reserve(points);
    for (std::uint32_t b = 0; b < bins; ++b) {
        c.varint();  // row
        c.varint();  // column
        readBin(Cursor(c.take(c.varint())), shore, g);
    }
    if (!c.done()) throw Damaged("geometry longer than its bins");
    if (g.points.size() != points) throw Damaged("point count mismatch");
    return g;
}

std::u32string utf8(std::span<const std::uint8_t> s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const std::uint8_t b = s[i];
        const std::size_t extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? b : (b & (0x3F >> extra));
        for (std::size_t k = 1; k <= extra; ++k) cp = (cp << 6) | ((i + k < s.size() ? s[i + k] : 0) & 0x3F);
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

std::vector<Place> readPlaces(Cursor c) {
    std::vector<Place> places(c.count(5));
    for (Place& p : places) {
        p.at.lat = c.signedVarint();
        p.at.lng = c.signedVarint();
        p.population = c.varint();
        p.kind = static_cast<std::uint8_t>(std::min<std::uint32_t>(c.varint(), 2));
        p.name = utf8(c.take(c.varint()));
    }
    return places;
}

std::vector<GlyphSet> readFonts(Cursor c) {
    std::vector<GlyphSet> sets(c.count(4));
    for (GlyphSet& s : sets) {
        s.pixels = static_cast<std::int32_t>(c.varint());
        s.ascent = static_cast<std::int32_t>(c.varint());
        s.lineHeight = static_cast<std::int32_t>(c.varint());
        const std::uint32_t n = c.count(6);
        for (std::uint32_t i = 0; i < n; ++i) {
            const char32_t cp = c.varint();
            Glyph g;
            g.advance = c.signedVarint();
            g.left = c.signedVarint();
            g.top = c.signedVarint();
            g.width = static_cast<std::int32_t>(c.varint());
            g.height = static_cast<std::int32_t>(c.varint());
            if (g.width > 256 || g.height > 256) throw Damaged("oversized glyph");
            const auto cov = c.take(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
            g.coverage.assign(cov.begin(), cov.end());
            s.glyphs.emplace_back(cp, std::move(g));
        }
        std::sort(s.glyphs.begin(), s.glyphs.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    if (sets.empty()) throw Damaged("no glyphs");
    return sets;
}

}  // namespace

MapData::MapData(std::vector<std::uint8_t> owned, std::span<const std::uint8_t> bytes)
    : owned_(std::move(owned)), bytes_(owned_.empty() ? bytes : std::span<const std::uint8_t>(owned_)) {}

const Geometry& MapData::geometry(Layer layer, Resolution resolution) const {
    const Lazy& g =
        geometry_[static_cast<std::size_t>(layer) * kResolutionCount + static_cast<std::size_t>(resolution)];
    std::call_once(g.once, [&] {
        try {
            g.decoded = readGeometry(g.encoded, layer == Layer::Shore);
        } catch (const Damaged&) {
            g.decoded = Geometry{};
        } catch (const std::bad_alloc&) {
            g.decoded = Geometry{};
        }
    });
    return g.decoded;
}

MapDataLoad loadMapData(std::span<const std::uint8_t> input, bool lasting) {
    try {
        auto data = std::make_unique<MapData>(
            lasting ? std::vector<std::uint8_t>{} : std::vector<std::uint8_t>(input.begin(), input.end()),
            input);
        Cursor file(data->bytes_);
        const auto magic = file.take(4);
        if (std::memcmp(magic.data(), mapdata::kMagic, 4) != 0) throw Damaged("not a map data set");
        if (file.word() != mapdata::kFormatVersion) throw Damaged("unknown format version");
        const std::uint32_t length = file.word();
        const std::uint32_t crc = file.word();
        const auto payload = file.take(length);
        if (!file.done()) throw Damaged("trailing bytes");
        if (mapdata::crc32(payload) != crc) throw Damaged("checksum mismatch");
        Cursor sections(payload);
        int found = 0;
        while (!sections.done()) {
            const auto tagBytes = sections.take(4);
            const std::string tag(tagBytes.begin(), tagBytes.end());
            const auto bytes = sections.take(sections.word());
            const char* r =
                std::find(std::begin(mapdata::kResolutions), std::end(mapdata::kResolutions), tag[3]);
            const auto res = static_cast<std::size_t>(r - std::begin(mapdata::kResolutions));
            const std::string kind = tag.substr(0, 3);
            const std::size_t layer = kind == "SHO" ? 0 : kind == "RIV" ? 1 : kind == "BOR" ? 2 : 3;
            if (layer < 3 && res < kResolutionCount) {
                data->geometry_[layer * kResolutionCount + res].encoded = bytes;
            } else if (tag == "PLAC") {
                data->places_ = readPlaces(Cursor(bytes));
            } else if (tag == "FONT") {
                data->fonts_ = readFonts(Cursor(bytes));
            } else {
                continue;  // a section of a later version
            }
            ++found;
        }
        if (found != 3 * static_cast<int>(kResolutionCount) + 2) throw Damaged("sections missing");
        return {std::move(data), {}};
    } catch (const Damaged& e) {
        return {nullptr, std::string("map data set damaged: ") + e.what()};
    } catch (const std::bad_alloc&) {
        return {nullptr, "map data set: out of memory"};
    }
}

const Glyph* GlyphSet::find(char32_t cp) const {
    const auto it = std::lower_bound(glyphs.begin(), glyphs.end(), cp,
                                     [](const auto& g, char32_t c) { return g.first < c; });
    return it != glyphs.end() && it->first == cp ? &it->second : nullptr;
}

std::size_t MapData::bytes() const {
    std::size_t n = sizeof(MapData) + owned_.capacity();
    for (const Lazy& lazy : geometry_) {
        const Geometry& g = lazy.decoded;
        n += g.points.capacity() * sizeof(MsecPoint) + g.bins.capacity() * sizeof(GeoBin);
        for (const GeoBin& b : g.bins) n += (b.lines.capacity() + b.rings.capacity()) * sizeof(Polyline);
    }
    for (const Place& p : places_) n += sizeof(Place) + p.name.capacity() * sizeof(char32_t);
    for (const GlyphSet& s : fonts_) {
        for (const auto& g : s.glyphs) n += sizeof(g) + g.second.coverage.capacity();
    }
    return n;
}

const MapDataLoad& builtInMapData() {
    static const MapDataLoad load = loadMapData(builtInMapDataBytes(), true);
    return load;
}

}  // namespace vamu::mapcontrol
