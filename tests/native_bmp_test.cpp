#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <vector>

#include "native/bmp_codec.h"
#include "native_test_support.h"

namespace vamu::native {
namespace {

using testing::errorOf;

std::uint32_t le(std::span<const std::uint8_t> b, std::size_t at, std::size_t width = 4) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
    return v;
}

Image pattern(std::int32_t w, std::int32_t h) {
    Image image(w, h);
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x)
            image.at(x, y) = static_cast<std::uint32_t>((x * 37 + y * 101) * 0x010203) & 0xFFFFFF;
    }
    return image;
}

// A hand-made 32-bit bitmap: two pixels across, two rows, stored top-down.
std::vector<std::uint8_t> topDown32(std::uint32_t compression) {
    std::vector<std::uint8_t> b(54 + (compression == 3 ? 12 : 0) + 16, 0);
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    const std::uint32_t offset = compression == 3 ? 66 : 54;
    put(2, static_cast<std::uint32_t>(b.size()));
    put(10, offset);
    put(14, 40);
    put(18, 2);
    put(22, static_cast<std::uint32_t>(-2));
    b[26] = 1;
    b[28] = 32;
    put(30, compression);
    if (compression == 3) {
        put(54, 0xFF0000);
        put(58, 0x00FF00);
        put(62, 0x0000FF);
    }
    const std::uint32_t pixels[] = {0x112233, 0x445566, 0x778899, 0xAABBCC};
    for (std::size_t i = 0; i < 4; ++i) put(offset + 4 * i, pixels[i] | 0xFF000000u);  // alpha is ignored
    return b;
}

TEST(NativeBmp, HeadersAndPaddedBottomUpRows) {
    const Image image = pattern(5, 3);  // 15 bytes of pixels per row, padded to 16
    const auto bmp = encodeBmp(image);
    ASSERT_EQ(bmp.size(), 54u + 16u * 3u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(le(bmp, 2), bmp.size());
    EXPECT_EQ(le(bmp, 6), 0u);  // reserved
    EXPECT_EQ(le(bmp, 10), 54u);
    EXPECT_EQ(le(bmp, 14), 40u);
    EXPECT_EQ(le(bmp, 18), 5u);
    EXPECT_EQ(le(bmp, 22), 3u);  // positive: bottom-up
    EXPECT_EQ(le(bmp, 26, 2), 1u);
    EXPECT_EQ(le(bmp, 28, 2), 24u);
    EXPECT_EQ(le(bmp, 30), 0u);
    EXPECT_EQ(le(bmp, 34), 48u);
    EXPECT_EQ(le(bmp, 38), 2835u);
    EXPECT_EQ(le(bmp, 42), 2835u);
    EXPECT_EQ(le(bmp, 46), 0u);
    // The first stored row is the image's bottom row, blue byte first.
    const std::uint32_t bottomLeft = image.at(0, 2);
    EXPECT_EQ(bmp[54], bottomLeft & 0xFF);
    EXPECT_EQ(bmp[55], (bottomLeft >> 8) & 0xFF);
    EXPECT_EQ(bmp[56], bottomLeft >> 16);
    EXPECT_EQ(bmp[54 + 15], 0);  // padding
}

TEST(NativeBmp, RoundTripKeepsEveryPixelAtAnyWidth) {
    for (std::int32_t width : {1, 2, 3, 4, 5, 7, 409}) {
        const Image image = pattern(width, 3);
        const Image back = decodeBmp(encodeBmp(image));
        EXPECT_EQ(back.width, width);
        EXPECT_EQ(back.height, 3);
        EXPECT_EQ(back.pixels, image.pixels) << "width " << width;
    }
}

// The file as the plug-in has always written it, byte by byte, the slow
// way: the fast row writers and the piecewise output must give the same.
std::vector<std::uint8_t> plainBmp(const Image& image) {
    const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> b(54 + stride * static_cast<std::size_t>(image.height), 0);
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, static_cast<std::uint32_t>(b.size()));
    put(10, 54);
    put(14, 40);
    put(18, static_cast<std::uint32_t>(image.width));
    put(22, static_cast<std::uint32_t>(image.height));
    b[26] = 1;
    b[28] = 24;
    put(34, static_cast<std::uint32_t>(b.size() - 54));
    put(38, 2835);
    put(42, 2835);
    for (std::int32_t y = 0; y < image.height; ++y) {
        std::size_t at = 54 + stride * static_cast<std::size_t>(image.height - 1 - y);
        for (std::int32_t x = 0; x < image.width; ++x, at += 3) {
            const std::uint32_t p = image.at(x, y);
            b[at] = static_cast<std::uint8_t>(p);
            b[at + 1] = static_cast<std::uint8_t>(p >> 8);
            b[at + 2] = static_cast<std::uint8_t>(p >> 16);
        }
    }
    return b;
}

// Widths around every block size of the row writers, rows that fill several
// output pieces, and pixels with their unused top byte set.
TEST(NativeBmp, EncodedBytesAreThoseOfThePlainEncoder) {
    std::uint32_t seed = 12345;
    auto random = [&] { return seed = seed * 1664525u + 1013904223u; };
    for (const auto& [width, height] : {std::pair{1, 1},
                                        {2, 3},
                                        {3, 2},
                                        {7, 5},
                                        {8, 4},
                                        {9, 3},
                                        {15, 2},
                                        {16, 2},
                                        {17, 3},
                                        {23, 2},
                                        {24, 2},
                                        {31, 3},
                                        {33, 2},
                                        {640, 480},
                                        {1001, 90}}) {
        Image image(width, height);
        for (std::uint32_t& p : image.pixels) p = random();
        const auto fast = encodeBmp(image);
        const std::vector<std::uint8_t> bytes(fast.begin(), fast.end());
        EXPECT_EQ(bytes, plainBmp(image)) << width << " x " << height;
        std::vector<std::uint8_t> pieces;
        encodeBmp(image, [&](std::span<const std::uint8_t> piece) {
            EXPECT_FALSE(piece.empty());
            pieces.insert(pieces.end(), piece.begin(), piece.end());
        });
        EXPECT_EQ(pieces, bytes) << width << " x " << height;
    }
}

TEST(NativeBmp, Reads32BitTopDownPlainAndWithStandardMasks) {
    for (std::uint32_t compression : {0u, 3u}) {
        const Image image = decodeBmp(topDown32(compression));
        ASSERT_EQ(image.width, 2);
        ASSERT_EQ(image.height, 2);
        EXPECT_EQ(image.at(0, 0), 0x112233u);
        EXPECT_EQ(image.at(1, 0), 0x445566u);
        EXPECT_EQ(image.at(0, 1), 0x778899u);
        EXPECT_EQ(image.at(1, 1), 0xAABBCCu);
    }
}

TEST(NativeBmp, AnythingElseIsAnInvalidPicture) {
    const auto encoded = encodeBmp(pattern(3, 2));
    const std::vector<std::uint8_t> good(encoded.begin(), encoded.end());
    auto changed = [&](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> b = good;
        b[at] = value;
        return b;
    };
    std::vector<std::uint8_t> truncated(good.begin(), good.end() - 1);
    std::vector<std::uint8_t> masks = topDown32(3);
    masks[54] = 0xFE;  // not the standard red mask
    const std::vector<std::vector<std::uint8_t>> bad = {
        {},
        {'B', 'M'},
        changed(0, 'P'),
        truncated,
        changed(28, 16),    // 16 bits per pixel
        changed(30, 1),     // run-length compressed
        changed(18, 0),     // no width
        changed(26, 2),     // two planes
        changed(14, 12),    // old core header
        changed(22, 100),   // more rows than the data holds
        changed(25, 0x40),  // a size beyond any picture
        changed(10, 200),   // pixels start beyond the data
        masks,
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        EXPECT_EQ(errorOf([&] { decodeBmp(bad[i]); }), 481) << "case " << i;
    }
}

TEST(NativeBmp, AnImageWithoutPixelsCannotBeEncoded) {
    EXPECT_EQ(errorOf([] { encodeBmp(Image()); }), 481);
    EXPECT_EQ(errorOf([] { encodeBmp(Image(0, 5)); }), 481);
    Image torn(4, 4);
    torn.pixels.pop_back();
    EXPECT_EQ(errorOf([&] { encodeBmp(torn); }), 481);
}

}  // namespace
}  // namespace vamu::native
