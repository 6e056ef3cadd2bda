#include "native/png_writer.h"

#include <cstdint>
#include <vector>

#include "contracts/runtime_error.h"
#include "native/atomic_file.h"

#ifdef VAMU_HAVE_PNG
#include <png.h>
#endif

namespace vamu::native {

#if defined(VAMU_HAVE_PNG) && defined(PNG_SIMPLIFIED_WRITE_SUPPORTED)
namespace {

std::vector<std::uint8_t> rgbBytes(const Image& image) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(image.pixels.size() * 3);
    for (std::uint32_t p : image.pixels) {
        rgb.push_back(static_cast<std::uint8_t>(p >> 16));
        rgb.push_back(static_cast<std::uint8_t>(p >> 8));
        rgb.push_back(static_cast<std::uint8_t>(p));
    }
    return rgb;
}

// Frees what libpng holds for one image, however the encoding ends.
struct PngImage {
    png_image image{};
    ~PngImage() { png_image_free(&image); }
};

std::vector<std::uint8_t> encodePng(const Image& source) {
    if (source.width <= 0 || source.height <= 0 ||
        source.pixels.size() !=
            static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height)) {
        raise(ErrorNumber::InvalidPicture);
    }
    const std::vector<std::uint8_t> rgb = rgbBytes(source);
    PngImage png;
    png.image.version = PNG_IMAGE_VERSION;
    png.image.width = static_cast<png_uint_32>(source.width);
    png.image.height = static_cast<png_uint_32>(source.height);
    png.image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png.image, nullptr, &size, 0, rgb.data(), 0, nullptr)) {
        raise(ErrorNumber::InvalidPicture);
    }
    std::vector<std::uint8_t> out(size);
    if (!png_image_write_to_memory(&png.image, out.data(), &size, 0, rgb.data(), 0, nullptr)) {
        raise(ErrorNumber::InvalidPicture);
    }
    out.resize(size);
    return out;
}

}  // namespace

bool writePng(const Image& image, const std::filesystem::path& file) {
    const std::vector<std::uint8_t> bytes = encodePng(image);
    replaceFileAtomically(file, bytes);
    return true;
}

#else

bool writePng(const Image&, const std::filesystem::path&) { return false; }

#endif

}  // namespace vamu::native
