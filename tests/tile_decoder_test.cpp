// The native tile decoder: the test pattern in every PNG colour type and as
// JPEG, transparency over white, and refusals (damage, other formats, sizes
// past the limit, found before the pixels are allocated).

#include "native/tile_decoder.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>

#include "mapcontrol/tiles/tile_id.h"
#include "support/tile_server.h"

namespace vamu {
namespace {

using testing::TileServer;

bool patternDot(std::int32_t global) { return global % 64 >= 30 && global % 64 <= 33; }

// The pixels of the decoded tile (x, y) that differ from the pattern by more
// than tolerance in any channel.
int patternMismatches(const Image& image, std::int32_t x, std::int32_t y, int tolerance) {
    int bad = 0;
    for (std::int32_t py = 0; py < tiles::kTileSize; ++py) {
        for (std::int32_t px = 0; px < tiles::kTileSize; ++px) {
            const bool black = patternDot(x * 256 + px) && patternDot(y * 256 + py);
            const std::uint32_t p = image.at(px, py);
            for (int shift : {0, 8, 16}) {
                const int v = static_cast<int>((p >> shift) & 0xFF);
                if (std::abs(v - (black ? 0 : 255)) > tolerance) {
                    ++bad;
                    break;
                }
            }
        }
    }
    return bad;
}

std::vector<std::uint8_t> withCrc(std::vector<std::uint8_t> chunkTypeAndData) {
    const uLong crc = crc32(0, chunkTypeAndData.data(), static_cast<uInt>(chunkTypeAndData.size()));
    for (int shift : {24, 16, 8, 0}) chunkTypeAndData.push_back(static_cast<std::uint8_t>(crc >> shift));
    return chunkTypeAndData;
}

// A PNG signature and a sound IHDR chunk claiming width x height, no pixels.
std::vector<std::uint8_t> pngHeaderOnly(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
    std::vector<std::uint8_t> ihdr = {'I', 'H', 'D', 'R'};
    for (std::uint32_t v : {width, height}) {
        for (int shift : {24, 16, 8, 0}) ihdr.push_back(static_cast<std::uint8_t>(v >> shift));
    }
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    const auto chunk = withCrc(ihdr);
    out.insert(out.end(), chunk.begin(), chunk.end());
    return out;
}

TEST(TileDecoder, ThePatternComesOutOfEveryPngKindAndJpegAtItsPlace) {
    const TileServer& server = testing::sharedTileServer();
    native::TileDecoder decoder;
    for (const char* kind : {"rgb", "grey", "palette", "rgba", "rgb16"}) {
        const auto image = decoder.decode(server.fetchBytes(std::string("/ok/3/5/6.png?png=") + kind), 1024);
        ASSERT_TRUE(image) << kind;
        ASSERT_EQ(image->width, 256);
        ASSERT_EQ(image->height, 256);
        EXPECT_EQ(patternMismatches(*image, 5, 6, 0), 0) << kind;
    }
    const auto jpeg = decoder.decode(server.fetchBytes("/ok/3/5/6.jpg"), 1024);
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(patternMismatches(*jpeg, 5, 6, 60), 0);
    // The dots are there at all (a blank picture would pass the first check
    // only if the pattern had none).
    EXPECT_LT(jpeg->at(31, 31) & 0xFF, 40u);
}

TEST(TileDecoder, TransparencyIsCompositedOverWhite) {
    // Black at alpha 0, 128 and 255, red at 64.
    const std::uint8_t rgba[] = {0, 0, 0, 0, 0, 0, 0, 128, 0, 0, 0, 255, 255, 0, 0, 64};
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 4;
    image.height = 1;
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> bytes(1024);
    png_alloc_size_t size = bytes.size();
    ASSERT_TRUE(png_image_write_to_memory(&image, bytes.data(), &size, 0, rgba, 0, nullptr));
    bytes.resize(size);
    const auto decoded = native::TileDecoder().decode(bytes, 16);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->pixels, (std::vector<std::uint32_t>{0xFFFFFF, 0x7F7F7F, 0x000000, 0xFFBFBF}));
}

TEST(TileDecoder, DamagedForeignAndOversizedPicturesAreRefused) {
    const TileServer& server = testing::sharedTileServer();
    native::TileDecoder decoder;
    const auto png = server.fetchBytes("/ok/2/1/1.png");
    const auto jpeg = server.fetchBytes("/ok/2/1/1.jpg");
    ASSERT_TRUE(decoder.decode(png, 256));
    ASSERT_TRUE(decoder.decode(jpeg, 256));

    EXPECT_FALSE(decoder.decode(server.fetchBytes("/corrupt/2/1/1.png"), 1024));
    EXPECT_FALSE(decoder.decode(std::span(png).first(png.size() / 2), 1024));
    EXPECT_FALSE(decoder.decode(std::span(jpeg).first(jpeg.size() / 2), 1024));
    EXPECT_FALSE(decoder.decode(std::span(png).first(8), 1024));
    EXPECT_FALSE(decoder.decode({}, 1024));
    const std::string gif = "GIF89a\x01\x00\x01\x00";
    EXPECT_FALSE(
        decoder.decode(std::span(reinterpret_cast<const std::uint8_t*>(gif.data()), gif.size()), 1024));

    // One pixel past the limit is refused, the same picture within it is not.
    EXPECT_FALSE(decoder.decode(png, 255));
    EXPECT_FALSE(decoder.decode(jpeg, 255));
    const auto wide = server.fetchBytes("/bigpixels/0/0/0.png?side=1025");
    EXPECT_FALSE(decoder.decode(wide, 1024));
    EXPECT_TRUE(decoder.decode(wide, 1025));

    // Headers claiming a gigantic picture: refused from the header alone (an
    // allocation of that size would fail the test under the sanitizers).
    EXPECT_FALSE(decoder.decode(pngHeaderOnly(100000, 100000), 1 << 30));
    auto hugeJpeg = jpeg;
    for (std::size_t i = 0; i + 9 < hugeJpeg.size(); ++i) {
        if (hugeJpeg[i] == 0xFF && hugeJpeg[i + 1] == 0xC0) {
            for (std::size_t k : {i + 5, i + 6, i + 7, i + 8}) hugeJpeg[k] = 0xFF;  // 65535 x 65535
            break;
        }
    }
    EXPECT_FALSE(decoder.decode(hugeJpeg, 65535));
}

}  // namespace
}  // namespace vamu
