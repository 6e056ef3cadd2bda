#pragma once
// Bitmaps between the core's Image, GDI and the BMP file format.

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "contracts/picture.h"
#include "win/platform/handles.h"

namespace vamu::win {

// The header that describes an Image to GDI: 32 bits per pixel, top-down.
BITMAPINFO describeImage(const Image& image);

// A 32-bit DIB section holding a copy of the image.
UniqueBitmap bitmapFromImage(const Image& image);

// The bitmap's pixels, as GDI gives them at 32 bits per pixel; error 481
// for no bitmap, 7 for one beyond the image size limit.
Image imageFromBitmap(HBITMAP bitmap);

// The bitmap as a BMP file, as the core's encoder writes it.
std::vector<std::uint8_t> bmpFileFromBitmap(HBITMAP bitmap);

// Whether the bytes look like a whole BMP file: the signature, a size field
// that matches, and pixel data that starts inside the file.
bool isBmpFile(std::span<const std::uint8_t> bytes);

}  // namespace vamu::win
