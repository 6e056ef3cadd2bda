#pragma once
// A tile of the XYZ scheme: zoom z, column x from the antimeridian east,
// row y from the north.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace vamu::tiles {

inline constexpr std::int32_t kTileSize = 256;  // pixels along a side
inline constexpr std::int32_t kMaxZoom = 22;

struct TileId {
    std::int32_t z = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    auto operator<=>(const TileId&) const = default;
    bool valid() const noexcept {
        if (z < 0 || z > kMaxZoom) return false;
        const std::int64_t n = std::int64_t{1} << z;
        return x >= 0 && y >= 0 && x < n && y < n;
    }
    TileId parent() const noexcept { return {z - 1, x / 2, y / 2}; }
};

struct TileIdHash {
    std::size_t operator()(const TileId& t) const noexcept {
        const std::uint64_t v = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(t.z)) << 56) ^
                                (static_cast<std::uint64_t>(static_cast<std::uint32_t>(t.x)) << 28) ^
                                static_cast<std::uint32_t>(t.y);
        return std::hash<std::uint64_t>{}(v);
    }
};

}  // namespace vamu::tiles
