#include "win/platform/image_header.h"

#include <algorithm>
#include <array>

namespace vamu::win {
namespace {

std::uint32_t bigEndian(std::span<const std::uint8_t> bytes) {
    std::uint32_t value = 0;
    for (const std::uint8_t byte : bytes) value = (value << 8) | byte;
    return value;
}

std::optional<ImageHeader> pngHeader(std::span<const std::uint8_t> bytes) {
    // Signature, then the IHDR chunk (length 13) with width and height first.
    static constexpr std::array<std::uint8_t, 16> kStart{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
                                                         0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    if (bytes.size() < 24 || !std::equal(kStart.begin(), kStart.end(), bytes.begin())) return std::nullopt;
    return ImageHeader{ImageKind::Png, bigEndian(bytes.subspan(16, 4)), bigEndian(bytes.subspan(20, 4))};
}

// A start-of-frame marker: C0 to CF except DHT (C4), JPG (C8) and DAC (CC).
bool isFrameStart(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<ImageHeader> jpegHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return std::nullopt;
    std::size_t at = 2;
    while (at + 1 < bytes.size()) {
        if (bytes[at] != 0xFF) return std::nullopt;
        const std::uint8_t marker = bytes[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        at += 2;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
        if (marker == 0xD9 || marker == 0xDA || at + 2 > bytes.size()) return std::nullopt;
        const std::size_t length = bigEndian(bytes.subspan(at, 2));
        if (length < 2) return std::nullopt;
        if (isFrameStart(marker)) {
            // Precision, height, width.
            if (length < 7 || at + 7 > bytes.size()) return std::nullopt;
            return ImageHeader{ImageKind::Jpeg, bigEndian(bytes.subspan(at + 5, 2)),
                               bigEndian(bytes.subspan(at + 3, 2))};
        }
        at += length;
    }
    return std::nullopt;
}

}  // namespace

std::optional<ImageHeader> readImageHeader(std::span<const std::uint8_t> bytes) {
    if (auto png = pngHeader(bytes)) return png;
    return jpegHeader(bytes);
}

}  // namespace vamu::win
