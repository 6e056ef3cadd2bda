#include "engine/bmp_encoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>

#include "contracts/runtime_error.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VAMU_BMP_SHUFFLE 1
#endif

namespace vamu {
namespace {

constexpr std::uint32_t kPixelsPerMetre = 2835;
constexpr std::size_t kPieceBytes = 256 * 1024;

[[noreturn]] void invalid() { raise(ErrorNumber::InvalidPicture); }

void put16(std::uint8_t* out, std::uint16_t v) {
    out[0] = static_cast<std::uint8_t>(v);
    out[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* out, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void put64(std::uint8_t* out, std::uint64_t v) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &v, sizeof v);
    } else {
        for (std::size_t i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

std::size_t rowBytesOf(std::size_t width) { return (width * 3 + 3) / 4 * 4; }

void writeHeaders(std::uint8_t* out, const Image& image, std::uint32_t fileSize, std::uint32_t dataSize) {
    std::fill_n(out, kBmpHeadersSize, std::uint8_t{0});
    out[0] = 'B';
    out[1] = 'M';
    put32(out + 2, fileSize);
    put32(out + 10, kBmpHeadersSize);
    put32(out + 14, 40);  // information header
    put32(out + 18, static_cast<std::uint32_t>(image.width));
    put32(out + 22, static_cast<std::uint32_t>(image.height));
    put16(out + 26, 1);   // planes
    put16(out + 28, 24);  // bits per pixel
    put32(out + 30, 0);   // BI_RGB
    put32(out + 34, dataSize);
    put32(out + 38, kPixelsPerMetre);
    put32(out + 42, kPixelsPerMetre);
}

// Pixels 0x00RRGGBB as blue, green, red: eight pixels make three 64-bit
// words, built in registers (the top byte of each pixel is dropped).
std::size_t writeWords(std::uint8_t* out, const std::uint32_t* row, std::size_t width) {
    std::size_t x = 0;
    for (; x + 8 <= width; x += 8, out += 24) {
        std::uint64_t p[8];
        for (std::size_t i = 0; i < 8; ++i) p[i] = row[x + i] & 0xFFFFFFu;
        put64(out, p[0] | p[1] << 24 | p[2] << 48);
        put64(out + 8, p[2] >> 16 | p[3] << 8 | p[4] << 32 | p[5] << 56);
        put64(out + 16, p[5] >> 8 | p[6] << 16 | p[7] << 40);
    }
    return x;
}

#ifdef VAMU_BMP_SHUFFLE
// Sixteen pixels at a time with a byte shuffle. Each 16-byte store runs
// four bytes into the next pixels' place, which a later store overwrites:
// at least two pixels are left for the other writers.
__attribute__((target("ssse3"))) std::size_t writeShuffled(std::uint8_t* out, const std::uint32_t* row,
                                                           std::size_t width) {
    const __m128i order = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    std::size_t x = 0;
    for (; x + 18 <= width; x += 16, out += 48) {
        for (std::size_t i = 0; i < 4; ++i) {
            const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x + 4 * i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12 * i), _mm_shuffle_epi8(pixels, order));
        }
    }
    return x;
}

bool canShuffle() {
    static const bool yes = __builtin_cpu_supports("ssse3");
    return yes;
}
#endif

// One row, then zeros up to the stride.
void writeRow(std::uint8_t* out, const std::uint32_t* row, std::size_t width, std::size_t rowBytes) {
    std::size_t x = 0;
#ifdef VAMU_BMP_SHUFFLE
    if (canShuffle()) x = writeShuffled(out, row, width);
#endif
    x += writeWords(out + 3 * x, row + x, width - x);
    for (std::uint8_t* at = out + 3 * x; x < width; ++x, at += 3) {
        const std::uint32_t rgb = row[x];
        at[0] = static_cast<std::uint8_t>(rgb);
        at[1] = static_cast<std::uint8_t>(rgb >> 8);
        at[2] = static_cast<std::uint8_t>(rgb >> 16);
    }
    std::fill(out + width * 3, out + rowBytes, std::uint8_t{0});
}

}  // namespace

std::uint64_t bmpFileSize(const Image& image) {
    if (image.width <= 0 || image.height <= 0) invalid();
    return kBmpHeadersSize + std::uint64_t{rowBytesOf(static_cast<std::size_t>(image.width))} *
                                 static_cast<std::uint64_t>(image.height);
}

void encodeBmp(const Image& image, const BmpSink& write) {
    const std::uint64_t fileSize = bmpFileSize(image);
    const auto w = static_cast<std::size_t>(image.width);
    const auto h = static_cast<std::size_t>(image.height);
    if (image.pixels.size() != w * h) invalid();
    if (fileSize > std::numeric_limits<std::uint32_t>::max()) invalid();
    const std::size_t rowBytes = rowBytesOf(w);

    const std::size_t rowsPerPiece = std::max<std::size_t>(1, kPieceBytes / rowBytes);
    const std::size_t pieceBytes = std::max(rowsPerPiece * rowBytes, kBmpHeadersSize);
    // Every byte is written before it is handed on: no zero fill.
    const std::unique_ptr<std::uint8_t[]> piece(new std::uint8_t[pieceBytes]);
    writeHeaders(piece.get(), image, static_cast<std::uint32_t>(fileSize),
                 static_cast<std::uint32_t>(fileSize - kBmpHeadersSize));
    write(std::span<const std::uint8_t>(piece.get(), kBmpHeadersSize));
    for (std::size_t first = 0; first < h; first += rowsPerPiece) {
        const std::size_t rows = std::min(rowsPerPiece, h - first);
        // The file's rows go bottom-up; within a piece they are read in the
        // image's order, one run of ascending addresses.
        for (std::size_t i = rows; i-- > 0;) {
            const std::size_t y = h - 1 - (first + i);
            writeRow(piece.get() + i * rowBytes, image.pixels.data() + y * w, w, rowBytes);
        }
        write(std::span<const std::uint8_t>(piece.get(), rows * rowBytes));
    }
}

}  // namespace vamu
