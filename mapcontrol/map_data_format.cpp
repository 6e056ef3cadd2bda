#include "mapcontrol/map_data_format.h"

#include <array>

namespace vamu::mapdata {

namespace {

using Table = std::array<std::array<std::uint32_t, 256>, 4>;

// Four tables: table k advances the CRC over a byte followed by k zero
// bytes, so that four bytes take four look-ups at once.
constexpr Table makeTables() {
    Table t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (std::size_t k = 1; k < 4; ++k) {
        for (std::uint32_t n = 0; n < 256; ++n) t[k][n] = t[0][t[k - 1][n] & 0xFF] ^ (t[k - 1][n] >> 8);
    }
    return t;
}

constexpr Table kTables = makeTables();

}  // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    std::size_t i = 0;
    for (; i + 4 <= bytes.size(); i += 4) {
        c ^= readWord(bytes.data() + i);
        c = kTables[3][c & 0xFF] ^ kTables[2][(c >> 8) & 0xFF] ^ kTables[1][(c >> 16) & 0xFF] ^
            kTables[0][c >> 24];
    }
    for (; i < bytes.size(); ++i) c = kTables[0][(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

}  // namespace vamu::mapdata
