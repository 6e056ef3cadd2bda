#pragma once
// PNG copies of bitmap files, made with the Windows Imaging Component: the
// bitmap is decoded, its pixels written again at 24 bits per pixel, and the
// PNG file replaced as the map bitmap is (a temporary file moved over it).
// COM must be initialised on the calling thread.

#include <string>

namespace vamu::win {

// Errors: those of reading the bitmap and replacing the PNG file; 481 for a
// bitmap WIC cannot read as a picture; 7 for one beyond the size limit of
// the plug-in's pictures; any other WIC failure as its HRESULT.
void writePngCopy(const std::u16string& bitmap, const std::u16string& png);

}  // namespace vamu::win
