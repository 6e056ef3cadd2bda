#include "native/bmp_codec.h"

#include <limits>

#include "contracts/runtime_error.h"

namespace vamu::native {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB
constexpr std::uint32_t kBitFields = 3;     // BI_BITFIELDS

[[noreturn]] void invalid() { raise(ErrorNumber::InvalidPicture); }

std::uint32_t get(std::span<const std::uint8_t> in, std::size_t at, std::size_t width) {
    if (at + width > in.size()) invalid();
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v |= static_cast<std::uint32_t>(in[at + i]) << (8 * i);
    return v;
}

std::uint64_t stride(std::uint64_t width, std::uint64_t bytesPerPixel) {
    return (width * bytesPerPixel + 3) / 4 * 4;
}

struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0;  // always positive
    bool topDown = false;
    std::uint32_t bytesPerPixel = 0;
    std::uint64_t offset = 0;
};

bool standardMasks(std::span<const std::uint8_t> in) {
    return get(in, 54, 4) == 0x00FF0000u && get(in, 58, 4) == 0x0000FF00u && get(in, 62, 4) == 0x000000FFu;
}

Layout readHeaders(std::span<const std::uint8_t> in) {
    if (in.size() < kFileHeaderSize + kInfoHeaderSize || in[0] != 'B' || in[1] != 'M') invalid();
    if (get(in, 14, 4) < kInfoHeaderSize) invalid();  // core headers are not taken
    Layout l;
    l.offset = get(in, 10, 4);
    l.width = static_cast<std::int32_t>(get(in, 18, 4));
    const auto height = static_cast<std::int64_t>(static_cast<std::int32_t>(get(in, 22, 4)));
    l.topDown = height < 0;
    l.height = height < 0 ? -height : height;
    const std::uint32_t bits = get(in, 28, 2);
    const std::uint32_t compression = get(in, 30, 4);
    if (get(in, 26, 2) != 1 || l.width <= 0 || l.height == 0) invalid();
    if (l.height > std::numeric_limits<std::int32_t>::max()) invalid();
    const bool plain = compression == kUncompressed && (bits == 24 || bits == 32);
    const bool masked = compression == kBitFields && bits == 32 && standardMasks(in);
    if (!plain && !masked) invalid();
    l.bytesPerPixel = bits / 8;
    const std::uint64_t end = l.offset + stride(static_cast<std::uint64_t>(l.width), l.bytesPerPixel) *
                                             static_cast<std::uint64_t>(l.height);
    if (l.offset < kFileHeaderSize + kInfoHeaderSize || end > in.size()) invalid();
    imagePixelCount(static_cast<std::int32_t>(l.width),
                    static_cast<std::int32_t>(l.height));  // 7 when too large
    return l;
}

}  // namespace

Bytes encodeBmp(const Image& image) {
    Bytes out;
    out.reserve(static_cast<std::size_t>(bmpFileSize(image)));
    encodeBmp(image, [&](std::span<const std::uint8_t> piece) {
        out.insert(out.end(), piece.begin(), piece.end());
    });
    return out;
}

Image decodeBmp(std::span<const std::uint8_t> bytes) {
    const Layout l = readHeaders(bytes);
    Image image(static_cast<std::int32_t>(l.width), static_cast<std::int32_t>(l.height));
    const std::uint64_t rowBytes = stride(static_cast<std::uint64_t>(l.width), l.bytesPerPixel);
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::int64_t row = l.topDown ? y : l.height - 1 - y;
        std::size_t at = static_cast<std::size_t>(l.offset + rowBytes * static_cast<std::uint64_t>(row));
        for (std::int32_t x = 0; x < image.width; ++x, at += l.bytesPerPixel) {
            image.at(x, y) = static_cast<std::uint32_t>(bytes[at]) |
                             static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
                             static_cast<std::uint32_t>(bytes[at + 2]) << 16;
        }
    }
    return image;
}

}  // namespace vamu::native
