// Bitmap files as the plug-in reads them: any bytes give an image or a
// run-time error; an image read comes back unchanged through a write and a
// second read.

#include <cstdlib>
#include <span>

#include "contracts/runtime_error.h"
#include "native/bmp_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vamu::Image image;
    try {
        image = vamu::native::decodeBmp(std::span(data, size));
    } catch (const vamu::RuntimeError&) {
        return 0;
    }
    const auto encoded = vamu::native::encodeBmp(image);
    const vamu::Image again = vamu::native::decodeBmp(encoded);
    if (again.width != image.width || again.height != image.height || again.pixels != image.pixels)
        std::abort();
    return 0;
}
