#include "mapcontrol/tiles/tile_entry.h"

#include <array>
#include <algorithm>
#include <type_traits>

namespace vamu::tiles {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'V', 'T', 'I', 'L'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kChecksumAt = 36;

template <class T>
void putLittle(std::vector<std::uint8_t>& out, T value) {
    auto bits = static_cast<std::make_unsigned_t<T>>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        out.push_back(static_cast<std::uint8_t>(bits & 0xffU));
        bits = static_cast<decltype(bits)>(bits >> 8);
    }
}

template <class T>
T getLittle(std::span<const std::uint8_t> in, std::size_t at) {
    std::make_unsigned_t<T> bits = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) {
        bits = static_cast<decltype(bits)>((bits << 8) | in[at + i]);
    }
    return static_cast<T>(bits);
}

std::uint64_t checksumOf(std::span<const std::uint8_t> entry) {
    const std::uint64_t head = fnv1a64(entry.first(kChecksumAt));
    return fnv1a64(entry.subspan(kEntryHeaderBytes), head);
}

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

bool plausibleStatus(std::int32_t status) { return status >= 100 && status <= 599; }

}  // namespace

std::uint64_t fnv1a64(std::span<const std::uint8_t> bytes, std::uint64_t hash) {
    for (const std::uint8_t b : bytes) {
        hash ^= b;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::optional<std::vector<std::uint8_t>> encodeEntry(const TileMeta& meta,
                                                     std::span<const std::uint8_t> body) {
    if (meta.etag.size() > kMaxValidatorLength || meta.lastModified.size() > kMaxValidatorLength ||
        body.size() > kMaxTileBytes || !plausibleStatus(meta.status)) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> out;
    out.reserve(kEntryHeaderBytes + meta.etag.size() + meta.lastModified.size() + body.size());
    out.insert(out.end(), kMagic.begin(), kMagic.end());
    putLittle(out, kVersion);
    putLittle(out, meta.status);
    putLittle(out, meta.fetched);
    putLittle(out, meta.expires);
    putLittle(out, static_cast<std::uint16_t>(meta.etag.size()));
    putLittle(out, static_cast<std::uint16_t>(meta.lastModified.size()));
    putLittle(out, static_cast<std::uint32_t>(body.size()));
    putLittle(out, std::uint64_t{0});
    const auto etag = bytesOf(meta.etag);
    const auto lastModified = bytesOf(meta.lastModified);
    out.insert(out.end(), etag.begin(), etag.end());
    out.insert(out.end(), lastModified.begin(), lastModified.end());
    out.insert(out.end(), body.begin(), body.end());
    const std::uint64_t sum = checksumOf(out);
    for (std::size_t i = 0; i < 8; ++i) out[kChecksumAt + i] = static_cast<std::uint8_t>(sum >> (8 * i));
    return out;
}

std::optional<CachedTile> decodeEntry(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kEntryHeaderBytes || bytes.size() > kMaxEntryBytes) return std::nullopt;
    if (!std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) return std::nullopt;
    if (getLittle<std::uint32_t>(bytes, 4) != kVersion) return std::nullopt;
    const std::size_t etagLength = getLittle<std::uint16_t>(bytes, 28);
    const std::size_t lastModifiedLength = getLittle<std::uint16_t>(bytes, 30);
    const std::size_t bodyLength = getLittle<std::uint32_t>(bytes, 32);
    if (etagLength > kMaxValidatorLength || lastModifiedLength > kMaxValidatorLength ||
        bodyLength > kMaxTileBytes) {
        return std::nullopt;
    }
    if (bytes.size() != kEntryHeaderBytes + etagLength + lastModifiedLength + bodyLength) return std::nullopt;
    if (getLittle<std::uint64_t>(bytes, kChecksumAt) != checksumOf(bytes)) return std::nullopt;

    CachedTile tile;
    tile.meta.status = getLittle<std::int32_t>(bytes, 8);
    if (!plausibleStatus(tile.meta.status)) return std::nullopt;
    tile.meta.fetched = getLittle<std::int64_t>(bytes, 12);
    tile.meta.expires = getLittle<std::int64_t>(bytes, 20);
    const auto text = [&](std::size_t at, std::size_t length) {
        return std::string(reinterpret_cast<const char*>(bytes.data() + at), length);
    };
    tile.meta.etag = text(kEntryHeaderBytes, etagLength);
    tile.meta.lastModified = text(kEntryHeaderBytes + etagLength, lastModifiedLength);
    const auto body = bytes.subspan(kEntryHeaderBytes + etagLength + lastModifiedLength);
    tile.bytes.assign(body.begin(), body.end());
    return tile;
}

std::string sourceFolder(std::string_view sourceKey) {
    static constexpr char kHex[] = "0123456789abcdef";
    const std::uint64_t hash = fnv1a64(bytesOf(sourceKey));
    std::string folder(16, '0');
    for (std::size_t i = 0; i < 16; ++i) folder[15 - i] = kHex[(hash >> (4 * i)) & 0xfU];
    return folder;
}

std::string entryPath(std::string_view sourceKey, TileId id) {
    return sourceFolder(sourceKey) + "/" + std::to_string(id.z) + "/" + std::to_string(id.x) + "/" +
           std::to_string(id.y) + ".tile";
}

}  // namespace vamu::tiles
