#include "win/platform/bitmaps.h"

#include <cstring>

#include "engine/bmp_encoder.h"
#include "win/platform/com_error.h"

namespace vamu::win {
namespace {

constexpr std::size_t kFileHeaderSize = sizeof(BITMAPFILEHEADER);
constexpr std::size_t kInfoHeaderSize = sizeof(BITMAPINFOHEADER);

std::uint32_t get32(std::span<const std::uint8_t> bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

}  // namespace

BITMAPINFO describeImage(const Image& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = kInfoHeaderSize;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

UniqueBitmap bitmapFromImage(const Image& image) {
    const BITMAPINFO info = describeImage(image);
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) raise(ErrorNumber::OutOfMemory);
    std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(std::uint32_t));
    GdiFlush();
    return bitmap;
}

Image imageFromBitmap(HBITMAP bitmap) {
    BITMAP shape{};
    if (!bitmap || GetObjectW(bitmap, sizeof shape, &shape) == 0 || shape.bmWidth <= 0 || shape.bmHeight <= 0)
        raise(ErrorNumber::InvalidPicture);
    Image image(shape.bmWidth, shape.bmHeight);
    BITMAPINFO info = describeImage(image);
    ScreenDc screen;
    if (GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(image.height), image.pixels.data(), &info,
                  DIB_RGB_COLORS) != image.height) {
        raise(ErrorNumber::InvalidPicture);
    }
    return image;
}

std::vector<std::uint8_t> bmpFileFromBitmap(HBITMAP bitmap) {
    const Image image = imageFromBitmap(bitmap);
    std::vector<std::uint8_t> file;
    file.reserve(static_cast<std::size_t>(bmpFileSize(image)));
    encodeBmp(image, [&](std::span<const std::uint8_t> piece) {
        file.insert(file.end(), piece.begin(), piece.end());
    });
    return file;
}

bool isBmpFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kFileHeaderSize + 12 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    return get32(bytes, 2) == bytes.size() && get32(bytes, 10) < bytes.size();
}

}  // namespace vamu::win
