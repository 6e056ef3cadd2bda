#include "native/bmp_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "contracts/runtime_error.h"

namespace vamu::native {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB
constexpr std::uint32_t kBitFields = 3;     // BI_BITFIELDS
constexpr std::size_t kPieceBytes = 64 * 1024;

[[noreturn]] void invalid() { raise(ErrorNumber::InvalidPicture); }

void put16(std::uint8_t* out, std::uint16_t v) {
    out[0] = static_cast<std::uint8_t>(v);
    out[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* out, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The 54 bytes of the file and information headers.
void writeHeaders(std::uint8_t* out, const Image& image, std::uint32_t fileSize, std::uint32_t dataSize) {
    std::fill_n(out, kFileHeaderSize + kInfoHeaderSize, std::uint8_t{0});
    out[0] = 'B';
    out[1] = 'M';
    put32(out + 2, fileSize);
    put32(out + 10, kFileHeaderSize + kInfoHeaderSize);
    put32(out + 14, kInfoHeaderSize);
    put32(out + 18, static_cast<std::uint32_t>(image.width));
    put32(out + 22, static_cast<std::uint32_t>(image.height));
    put16(out + 26, 1);   // planes
    put16(out + 28, 24);  // bits per pixel
    put32(out + 30, kUncompressed);
    put32(out + 34, dataSize);
    put32(out + 38, kPixelsPerMetre);
    put32(out + 42, kPixelsPerMetre);
}

// One row of pixels as blue, green, red, then zeros up to the stride. The
// low three bytes of 0x00RRGGBB, little-endian, are already in that order:
// four pixels make three 32-bit words.
void writeRow(std::uint8_t* out, const std::uint32_t* row, std::size_t width, std::size_t rowBytes) {
    std::size_t x = 0;
    for (; x + 4 <= width; x += 4, out += 12) {
        const std::uint32_t words[3] = {(row[x] & 0xFFFFFFu) | row[x + 1] << 24,
                                        (row[x + 1] >> 8 & 0xFFFFu) | row[x + 2] << 16,
                                        (row[x + 2] >> 16 & 0xFFu) | row[x + 3] << 8};
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(out, words, sizeof words);
        } else {
            for (std::size_t i = 0; i < 3; ++i) put32(out + 4 * i, words[i]);
        }
    }
    for (; x < width; ++x, out += 3) {
        const std::uint32_t rgb = row[x];
        out[0] = static_cast<std::uint8_t>(rgb);
        out[1] = static_cast<std::uint8_t>(rgb >> 8);
        out[2] = static_cast<std::uint8_t>(rgb >> 16);
    }
    std::fill_n(out, rowBytes - width * 3, std::uint8_t{0});
}

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

void encodeBmp(const Image& image, const ByteSink& write) {
    if (image.width <= 0 || image.height <= 0) invalid();
    const auto w = static_cast<std::size_t>(image.width);
    const auto h = static_cast<std::size_t>(image.height);
    if (image.pixels.size() != w * h) invalid();
    const auto rowBytes = static_cast<std::size_t>(stride(w, 3));
    const std::uint64_t dataSize = std::uint64_t{rowBytes} * h;
    const std::uint64_t fileSize = kFileHeaderSize + kInfoHeaderSize + dataSize;
    if (fileSize > std::numeric_limits<std::uint32_t>::max()) invalid();

    // Rows go out in pieces small enough to stay in the cache between being
    // encoded and being copied on.
    const std::size_t rowsPerPiece = std::max<std::size_t>(1, kPieceBytes / rowBytes);
    Bytes piece(std::max(rowsPerPiece * rowBytes, kFileHeaderSize + kInfoHeaderSize));
    writeHeaders(piece.data(), image, static_cast<std::uint32_t>(fileSize),
                 static_cast<std::uint32_t>(dataSize));
    write(std::span<const std::uint8_t>(piece.data(), kFileHeaderSize + kInfoHeaderSize));
    for (std::size_t first = 0; first < h; first += rowsPerPiece) {
        const std::size_t rows = std::min(rowsPerPiece, h - first);
        for (std::size_t i = 0; i < rows; ++i) {
            const std::size_t y = h - 1 - (first + i);  // bottom-up
            writeRow(piece.data() + i * rowBytes, image.pixels.data() + y * w, w, rowBytes);
        }
        write(std::span<const std::uint8_t>(piece.data(), rows * rowBytes));
    }
}

Bytes encodeBmp(const Image& image) {
    Bytes out;
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
