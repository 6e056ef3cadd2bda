#include "gshhg_reader.h"

#include <netcdf.h>

#include <cmath>

namespace vamu::mapdata {

namespace {

void check(int status, const std::string& what) {
    if (status != NC_NOERR) throw NetcdfError(what + ": " + nc_strerror(status));
}

class File {
public:
    explicit File(const std::string& path) : path_(path) {
        check(nc_open(path.c_str(), NC_NOWRITE, &id_), path);
    }
    ~File() { nc_close(id_); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    int scalar(const char* name) const {
        int value = 0;
        const std::size_t start = 0;
        check(nc_get_var1_int(id_, var(name), &start, &value), path_ + " " + name);
        return value;
    }
    template <class T>
    std::vector<T> array(const char* name, std::size_t start, std::size_t count) const {
        std::vector<T> values(count);
        if (count == 0) return values;
        if constexpr (sizeof(T) == 2) {
            check(nc_get_vara_short(id_, var(name), &start, &count, reinterpret_cast<short*>(values.data())),
                  path_ + " " + name);
        } else {
            check(nc_get_vara_int(id_, var(name), &start, &count, reinterpret_cast<int*>(values.data())),
                  path_ + " " + name);
        }
        return values;
    }

private:
    int var(const char* name) const {
        int v = 0;
        check(nc_inq_varid(id_, name, &v), path_ + " " + name);
        return v;
    }
    std::string path_;
    int id_ = 0;
};

struct Layout {
    int binMinutes, across, count;
    std::vector<int> firstSegment;
    std::vector<std::int16_t> segmentCount;
};

Layout layoutOf(const File& f) {
    Layout l{f.scalar("Bin_size_in_minutes"),
             f.scalar("N_bins_in_360_longitude_range"),
             f.scalar("N_bins_in_file"),
             {},
             {}};
    l.firstSegment = f.array<int>("Id_of_first_segment_in_a_bin", 0, static_cast<std::size_t>(l.count));
    l.segmentCount = f.array<std::int16_t>("N_segments_in_a_bin", 0, static_cast<std::size_t>(l.count));
    return l;
}

bool overlaps(const Layout& l, int index, const Region& r) {
    const double size = l.binMinutes / 60.0;
    const double south = 90.0 - (index / l.across + 1) * size;
    const double west = (index % l.across) * size;
    return west < r.east && west + size > r.west && south < r.north && south + size > r.south;
}

std::vector<BinPoint> pointsOf(const File& f, int first, int count) {
    const auto xs = f.array<std::uint16_t>("Relative_longitude_from_SW_corner_of_bin",
                                           static_cast<std::size_t>(first), static_cast<std::size_t>(count));
    const auto ys = f.array<std::uint16_t>("Relative_latitude_from_SW_corner_of_bin",
                                           static_cast<std::size_t>(first), static_cast<std::size_t>(count));
    std::vector<BinPoint> points(xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i) points[i] = {xs[i], ys[i]};
    return points;
}

}  // namespace

BinnedFile readShore(const std::string& path, const Region& region) {
    const File f(path);
    const Layout l = layoutOf(f);
    const auto nodes =
        f.array<std::int16_t>("Embedded_node_levels_in_a_bin", 0, static_cast<std::size_t>(l.count));
    BinnedFile out{l.binMinutes, l.across, {}};
    for (int i = 0; i < l.count; ++i) {
        if (!overlaps(l, i, region)) continue;
        Bin& bin = out.bins.emplace_back();
        bin.row = i / l.across;
        bin.column = i % l.across;
        const auto info = static_cast<std::uint16_t>(nodes[static_cast<std::size_t>(i)]);
        bin.cornerLevel[0] = (info >> 9) & 7;
        bin.cornerLevel[1] = (info >> 6) & 7;
        bin.cornerLevel[2] = (info >> 3) & 7;
        bin.cornerLevel[3] = info & 7;
        const int n = l.segmentCount[static_cast<std::size_t>(i)];
        const int first = l.firstSegment[static_cast<std::size_t>(i)];
        const auto infos = f.array<int>("Embedded_npts_levels_exit_entry_for_a_segment",
                                        static_cast<std::size_t>(first), static_cast<std::size_t>(n));
        const auto starts = f.array<int>("Id_of_first_point_in_a_segment", static_cast<std::size_t>(first),
                                         static_cast<std::size_t>(n));
        for (int s = 0; s < n; ++s) {
            const int word = infos[static_cast<std::size_t>(s)];
            Segment seg;
            seg.level = (word >> 6) & 7;
            seg.entry = (word >> 3) & 7;
            seg.exit = word & 7;
            seg.points = pointsOf(f, starts[static_cast<std::size_t>(s)], word >> 9);
            bin.segments.push_back(std::move(seg));
        }
    }
    return out;
}

BinnedFile readLines(const std::string& path, const Region& region) {
    const File f(path);
    const Layout l = layoutOf(f);
    BinnedFile out{l.binMinutes, l.across, {}};
    for (int i = 0; i < l.count; ++i) {
        if (!overlaps(l, i, region)) continue;
        const int n = l.segmentCount[static_cast<std::size_t>(i)];
        if (n == 0) continue;
        Bin& bin = out.bins.emplace_back();
        bin.row = i / l.across;
        bin.column = i % l.across;
        const int first = l.firstSegment[static_cast<std::size_t>(i)];
        const auto counts = f.array<std::int16_t>("N_points_for_a_segment", static_cast<std::size_t>(first),
                                                  static_cast<std::size_t>(n));
        const auto levels = f.array<std::int16_t>(
            "Hierarchial_level_of_a_segment", static_cast<std::size_t>(first), static_cast<std::size_t>(n));
        const auto starts = f.array<int>("Id_of_first_point_in_a_segment", static_cast<std::size_t>(first),
                                         static_cast<std::size_t>(n));
        for (int s = 0; s < n; ++s) {
            Segment seg;
            seg.level = levels[static_cast<std::size_t>(s)];
            seg.points =
                pointsOf(f, starts[static_cast<std::size_t>(s)], counts[static_cast<std::size_t>(s)]);
            bin.segments.push_back(std::move(seg));
        }
    }
    return out;
}

}  // namespace vamu::mapdata
