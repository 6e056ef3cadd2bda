// Tiles decoded by WIC: the pattern in every PNG colour type and as JPEG,
// on threads with and without COM; damaged and oversized pictures refused.

#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "win/platform/image_header.h"
#include "win/platform/wic_decoder.h"
#include "win/platform/winhttp_transport.h"
#include "win/tests/support/check.h"
#include "win/tests/tile_server_link.h"

namespace vamu::wine_test {
namespace {

std::vector<std::uint8_t> tileBytes(HttpTransport& transport, const std::string& path) {
    const Fetched fetched = fetch(transport, requestFor(tileUrl(path)));
    return fetched.response.status == 200 ? fetched.response.body : std::vector<std::uint8_t>{};
}

CHECK_CASE(tile_decode_gives_the_pattern_for_every_png_type_and_jpeg) {
    win::WinHttpTransport transport;
    win::WicImageDecoder decoder;
    for (const char* type : {"rgb", "grey", "palette", "rgba", "rgb16"}) {
        const auto bytes = tileBytes(transport, std::string("/ok/5/9/13.png?png=") + type);
        const auto image = decoder.decode(bytes, kMaxTileSide);
        CHECK(image && patternMismatches(*image, 9, 13) == 0);
        if (!image) std::printf("         png=%s not decoded\n", type);
    }
    const auto jpeg = tileBytes(transport, "/ok/5/9/13.jpg");
    const auto header = win::readImageHeader(jpeg);
    CHECK(header && header->kind == win::ImageKind::Jpeg && header->width == 256 && header->height == 256);
    const auto image = decoder.decode(jpeg, kMaxTileSide);
    // Lossy: every pixel near its colour, the dots where they belong.
    CHECK(image && patternMismatches(*image, 9, 13, 96) == 0);

    // A thread without COM joins the multithreaded apartment for the call;
    // this one, in the panel's single-threaded apartment, stays in it.
    const auto png = tileBytes(transport, "/ok/5/9/13.png");
    int worker = -1;
    std::thread([&] {
        const auto decoded = decoder.decode(png, kMaxTileSide);
        worker = decoded ? patternMismatches(*decoded, 9, 13) : -1;
    }).join();
    CHECK(worker == 0);
    const auto start = std::chrono::steady_clock::now();
    constexpr int kRounds = 50;
    for (int i = 0; i < kRounds; ++i) decoder.decode(png, kMaxTileSide);
    const auto spent = std::chrono::steady_clock::now() - start;
    std::printf("         %.2f ms per 256 x 256 PNG tile decoded\n",
                std::chrono::duration<double, std::milli>(spent).count() / kRounds);
    CHECK(decoder.decode(png, kMaxTileSide).has_value());
    CHECK(CoInitializeEx(nullptr, COINIT_MULTITHREADED) == RPC_E_CHANGED_MODE);
}

CHECK_CASE(tile_decode_refuses_damaged_and_oversized_pictures) {
    win::WinHttpTransport transport;
    win::WicImageDecoder decoder;
    const auto png = tileBytes(transport, "/ok/5/9/13.png");
    CHECK(png.size() > 100);
    CHECK(!decoder.decode(tileBytes(transport, "/corrupt/5/9/13.png"), kMaxTileSide));
    CHECK(!decoder.decode(std::span(png).first(png.size() / 2), kMaxTileSide));
    CHECK(!decoder.decode({}, kMaxTileSide));
    const std::vector<std::uint8_t> gif{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0};
    CHECK(!decoder.decode(gif, kMaxTileSide));
    // A side of 256 against a limit of 255, and no limit at all.
    CHECK(!decoder.decode(png, 255) && !decoder.decode(png, 0) && decoder.decode(png, 256));

    // The size is read from the header and refused before WIC sees the bytes.
    std::vector<std::uint8_t> huge = png;
    huge[16] = 0, huge[17] = 1, huge[18] = 0x86, huge[19] = 0xA0;  // 100000 wide
    const auto hugeHeader = win::readImageHeader(huge);
    CHECK(hugeHeader && hugeHeader->kind == win::ImageKind::Png && hugeHeader->width == 100000 &&
          hugeHeader->height == 256);
    CHECK(!decoder.decode(huge, kMaxTileSide));
    std::vector<std::uint8_t> jpeg = tileBytes(transport, "/ok/5/9/13.jpg");
    const auto jpegHeader = win::readImageHeader(jpeg);
    CHECK(jpegHeader.has_value());
    for (std::size_t at = 2; at + 9 < jpeg.size(); ++at) {
        if (jpeg[at] == 0xFF && (jpeg[at + 1] == 0xC0 || jpeg[at + 1] == 0xC2)) {
            jpeg[at + 5] = 0xEA, jpeg[at + 6] = 0x60;  // 60000 high
            break;
        }
    }
    const auto tallHeader = win::readImageHeader(jpeg);
    CHECK(tallHeader && tallHeader->height == 60000 && tallHeader->width == 256);
    CHECK(!decoder.decode(jpeg, kMaxTileSide));
    // A whole, valid picture of 4096 pixels square, and one just at the limit.
    CHECK(!decoder.decode(tileBytes(transport, "/bigpixels/5/9/13.png"), kMaxTileSide));
    const auto largest =
        decoder.decode(tileBytes(transport, "/bigpixels/5/9/13.png?side=1024"), kMaxTileSide);
    CHECK(largest && largest->width == 1024 && largest->height == 1024);
    // Headers that end before their size.
    CHECK(!win::readImageHeader(std::span(png).first(23)));
    CHECK(!win::readImageHeader(std::span(jpeg).first(12)));
}

}  // namespace
}  // namespace vamu::wine_test
