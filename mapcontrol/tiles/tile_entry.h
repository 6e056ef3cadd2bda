#pragma once
// One cache entry as a file: a fixed header (magic, status, times, the
// lengths of the validators and the body, a checksum over everything else),
// then the validators and the body. Meta and body travel in one file, so
// they never disagree; the checksum and the exact length reject a damaged
// or cut entry.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "contracts/tile_platform.h"
#include "mapcontrol/tiles/tile_freshness.h"
#include "mapcontrol/tiles/tile_id.h"
#include "mapcontrol/tiles/tile_meta.h"

namespace vamu::tiles {

inline constexpr std::size_t kEntryHeaderBytes = 44;
inline constexpr std::size_t kMaxEntryBytes = kEntryHeaderBytes + 2 * kMaxValidatorLength + kMaxTileBytes;

std::uint64_t fnv1a64(std::span<const std::uint8_t> bytes, std::uint64_t hash = 0xcbf29ce484222325ULL);

// Nothing where the meta or the body is beyond the entry's bounds.
std::optional<std::vector<std::uint8_t>> encodeEntry(const TileMeta& meta,
                                                     std::span<const std::uint8_t> body);
// Nothing for anything but a whole, undamaged entry.
std::optional<CachedTile> decodeEntry(std::span<const std::uint8_t> bytes);

// "<16 hex digits of the template's hash>": the folder of one source's tiles.
std::string sourceFolder(std::string_view sourceKey);
// "<source folder>/{z}/{x}/{y}.tile"
std::string entryPath(std::string_view sourceKey, TileId id);

}  // namespace vamu::tiles
