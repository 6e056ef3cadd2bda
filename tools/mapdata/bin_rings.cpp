#include "bin_rings.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace vamu::mapdata {

namespace {

constexpr long kSide = 65535;
constexpr long kPerimeter = 4 * kSide;

// The place of a point on the bin's edge, counter-clockwise from the SW
// corner: 0 .. kSide along the south side, then east, north and west.
long perimeterPosition(int side, BinPoint p) {
    switch (side) {
        case 0:
            return p.x;
        case 1:
            return kSide + p.y;
        case 2:
            return 2 * kSide + (kSide - p.x);
        default:
            return 3 * kSide + (kSide - p.y);
    }
}

struct Entry {
    long position;
    int segment;
};

// Walks from `from` in direction `dir` (+1 counter-clockwise) to the nearest
// entry, and lists the corners passed on the way.
struct Step {
    const Entry* next = nullptr;
    std::vector<int> corners;
};

long distance(long from, long to, int dir) {
    const long d = dir > 0 ? to - from : from - to;
    return ((d % kPerimeter) + kPerimeter) % kPerimeter;
}

Step walk(const std::vector<Entry>& entries, long from, int dir) {
    Step step;
    long best = std::numeric_limits<long>::max();
    for (const Entry& e : entries) {
        const long d = distance(from, e.position, dir);
        if (d < best) {
            best = d;
            step.next = &e;
        }
    }
    for (long k = 1; k <= 4; ++k) {
        // Corner c sits at c × kSide; the walk passes it when it lies strictly
        // between the start and the entry found.
        for (int c = 0; c < 4; ++c) {
            const long d = distance(from, c * kSide, dir);
            if (d > 0 && d < best && d > (k - 1) * kSide && d <= k * kSide) step.corners.push_back(c);
        }
    }
    return step;
}

std::vector<Ring> joinedRings(const Bin& bin, int dir) {
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < bin.segments.size(); ++i) {
        const Segment& s = bin.segments[i];
        if (s.entry < 4 && !s.points.empty()) {
            entries.push_back({perimeterPosition(s.entry, s.points.front()), static_cast<int>(i)});
        }
    }
    std::vector<bool> used(bin.segments.size(), false);
    std::vector<Ring> rings;
    for (const Entry& start : entries) {
        if (used[static_cast<std::size_t>(start.segment)]) continue;
        Ring ring;
        int low = 99;
        int segment = start.segment;
        for (std::size_t guard = 0; guard <= entries.size(); ++guard) {
            used[static_cast<std::size_t>(segment)] = true;
            const Segment& s = bin.segments[static_cast<std::size_t>(segment)];
            ring.pieces.push_back({false, segment});
            low = std::min(low, s.level);
            const Step step = walk(entries, perimeterPosition(s.exit, s.points.back()), dir);
            for (int c : step.corners) {
                ring.pieces.push_back({true, c});
                low = std::min(low, bin.cornerLevel[c]);
            }
            if (step.next->segment == start.segment) break;
            if (used[static_cast<std::size_t>(step.next->segment)]) {
                throw std::runtime_error("shoreline segments do not close in bin " + std::to_string(bin.row) +
                                         "," + std::to_string(bin.column));
            }
            segment = step.next->segment;
        }
        ring.level = dir > 0 ? 2 * ((low - 1) / 2) + 1 : 2 * (low / 2);
        rings.push_back(std::move(ring));
    }
    return rings;
}

}  // namespace

std::vector<Ring> ringsOf(const Bin& bin) {
    std::vector<Ring> rings;
    const bool crossed =
        std::any_of(bin.segments.begin(), bin.segments.end(), [](const Segment& s) { return s.entry < 4; });
    if (!crossed) {
        rings.push_back({bin.cornerLevel[0], {{true, 0}, {true, 1}, {true, 2}, {true, 3}}});
    } else {
        for (int dir : {+1, -1}) {
            for (Ring& r : joinedRings(bin, dir)) rings.push_back(std::move(r));
        }
    }
    std::vector<Ring> inner;
    for (std::size_t i = 0; i < bin.segments.size(); ++i) {
        if (bin.segments[i].entry == 4)
            inner.push_back({bin.segments[i].level, {{false, static_cast<int>(i)}}});
    }
    std::stable_sort(inner.begin(), inner.end(),
                     [](const Ring& a, const Ring& b) { return a.level < b.level; });
    rings.insert(rings.end(), inner.begin(), inner.end());
    // Level 0 is the sea the picture starts with: nothing to paint.
    std::erase_if(rings, [](const Ring& r) { return r.level == 0; });
    return rings;
}

}  // namespace vamu::mapdata
