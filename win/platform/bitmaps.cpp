#include "win/platform/bitmaps.h"

#include <cstring>

#include "win/platform/com_error.h"

namespace vamu::win {
namespace {

constexpr std::size_t kFileHeaderSize = sizeof(BITMAPFILEHEADER);
constexpr std::size_t kInfoHeaderSize = sizeof(BITMAPINFOHEADER);

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

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

std::vector<std::uint8_t> bmpFileFromBitmap(HBITMAP bitmap) {
    BITMAP shape{};
    if (!bitmap || GetObjectW(bitmap, sizeof shape, &shape) == 0) raise(ErrorNumber::InvalidPicture);
    const auto width = static_cast<std::size_t>(shape.bmWidth);
    const auto height = static_cast<std::size_t>(shape.bmHeight);
    const std::size_t stride = (width * 3 + 3) & ~std::size_t{3};
    const std::size_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<std::uint8_t> file(offset + stride * height);

    BITMAPINFO info{};
    info.bmiHeader.biSize = kInfoHeaderSize;
    info.bmiHeader.biWidth = shape.bmWidth;
    info.bmiHeader.biHeight = shape.bmHeight;  // bottom-up, as BMP files keep it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(stride * height);
    info.bmiHeader.biXPelsPerMeter = 3780;  // 96 dpi
    info.bmiHeader.biYPelsPerMeter = 3780;
    if (height > 0) {
        ScreenDc screen;
        if (GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), file.data() + offset, &info,
                      DIB_RGB_COLORS) == 0) {
            raise(ErrorNumber::InvalidPicture);
        }
    }
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, static_cast<std::uint32_t>(file.size()));
    put32(file, 10, static_cast<std::uint32_t>(offset));
    std::memcpy(file.data() + kFileHeaderSize, &info.bmiHeader, kInfoHeaderSize);
    return file;
}

bool isBmpFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kFileHeaderSize + 12 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    return get32(bytes, 2) == bytes.size() && get32(bytes, 10) < bytes.size();
}

}  // namespace vamu::win
