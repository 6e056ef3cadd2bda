#include "native/tile_decoder.h"

#include <png.h>
#include <setjmp.h>

#include <cstdio>
#include <cstring>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace vamu::native {

namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kJpegSignature[3] = {0xFF, 0xD8, 0xFF};
// A progressive JPEG of more scans than this is refused: each scan makes
// the decoder pass over the whole picture again.
constexpr int kMaxJpegScans = 64;

bool startsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> signature) {
    return bytes.size() >= signature.size() &&
           std::memcmp(bytes.data(), signature.data(), signature.size()) == 0;
}

bool sideAllowed(std::uint32_t width, std::uint32_t height, std::int32_t maxSide) {
    return width > 0 && height > 0 && maxSide > 0 && width <= static_cast<std::uint32_t>(maxSide) &&
           height <= static_cast<std::uint32_t>(maxSide);
}

std::uint32_t rgb(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}

// An RGBA pixel composited over white in sRGB values, as browsers draw
// transparent tiles over a white page.
std::uint32_t overWhite(const std::uint8_t* p) {
    const std::uint32_t a = p[3];
    const auto mix = [a](std::uint32_t c) { return (c * a + 255 * (255 - a) + 127) / 255; };
    return (mix(p[0]) << 16) | (mix(p[1]) << 8) | mix(p[2]);
}

Image imageOf(std::int32_t width, std::int32_t height, const std::vector<std::uint8_t>& rgbBytes) {
    Image image(width, height);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = rgb(&rgbBytes[i * 3]);
    return image;
}

// ---- PNG, through libpng's simplified interface (its own error recovery;
// no longjmp passes through this file's frames).

struct PngReading {
    png_image image{};
    ~PngReading() { png_image_free(&image); }
};

std::optional<Image> decodePng(std::span<const std::uint8_t> bytes, std::int32_t maxSide) {
    PngReading png;
    png.image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png.image, bytes.data(), bytes.size())) return std::nullopt;
    if (!sideAllowed(png.image.width, png.image.height, maxSide)) return std::nullopt;
    // 16-bit samples without gamma information are sRGB, as 8-bit ones are.
    png.image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    png.image.format = PNG_FORMAT_RGBA;  // 8-bit sRGB, alpha not premultiplied
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(png.image));
    if (!png_image_finish_read(&png.image, nullptr, pixels.data(), 0, nullptr)) return std::nullopt;
    if ((png.image.warning_or_error & PNG_IMAGE_ERROR) != 0) return std::nullopt;
    Image image(static_cast<std::int32_t>(png.image.width), static_cast<std::int32_t>(png.image.height));
    for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = overWhite(&pixels[i * 4]);
    return image;
}

// ---- JPEG. libjpeg reports errors by longjmp into the frames below: they
// hold nothing but plain C data (no object with a destructor lives across
// setjmp), and every reading is in two steps, the header first, so that the
// pixel buffer is allocated outside, once the size is known to be allowed.

struct JpegErrors {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

extern "C" void jpegFail(j_common_ptr info) { longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1); }

// Warnings (level -1) are damaged data, such as a stream that ends early: a
// failure here. Trace messages (level >= 0) are ignored.
extern "C" void jpegMessage(j_common_ptr info, int level) {
    if (level < 0) jpegFail(info);
}

extern "C" void jpegProgress(j_common_ptr info) {
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxJpegScans) {
        jpegFail(info);
    }
}

struct JpegSize {
    std::uint32_t width = 0, height = 0;
};

void prepareJpeg(jpeg_decompress_struct& info, JpegErrors& errors, jpeg_progress_mgr& progress,
                 const std::uint8_t* data, std::size_t size) {
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpegFail;
    errors.manager.emit_message = jpegMessage;
    jpeg_create_decompress(&info);
    progress.progress_monitor = jpegProgress;
    info.progress = &progress;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
}

// The output size, or zeros for a damaged header.
JpegSize jpegSize(const std::uint8_t* data, std::size_t size) {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    jpeg_progress_mgr progress{};
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    prepareJpeg(info, errors, progress, data, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_calc_output_dimensions(&info);
    const JpegSize result{info.output_width, info.output_height};
    jpeg_destroy_decompress(&info);
    return result;
}

// Decodes into rgbOut (width * height * 3 bytes, as jpegSize gave them).
bool readJpeg(const std::uint8_t* data, std::size_t size, JpegSize expected, std::uint8_t* rgbOut) {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    jpeg_progress_mgr progress{};
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    prepareJpeg(info, errors, progress, data, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_width != expected.width || info.output_height != expected.height ||
        info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const std::size_t stride = std::size_t{expected.width} * 3;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgbOut + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

std::optional<Image> decodeJpeg(std::span<const std::uint8_t> bytes, std::int32_t maxSide) {
    const JpegSize size = jpegSize(bytes.data(), bytes.size());
    if (!sideAllowed(size.width, size.height, maxSide)) return std::nullopt;
    std::vector<std::uint8_t> pixels(std::size_t{size.width} * size.height * 3);
    if (!readJpeg(bytes.data(), bytes.size(), size, pixels.data())) return std::nullopt;
    return imageOf(static_cast<std::int32_t>(size.width), static_cast<std::int32_t>(size.height), pixels);
}

}  // namespace

std::optional<Image> TileDecoder::decode(std::span<const std::uint8_t> bytes, std::int32_t maxSide) {
    try {
        if (startsWith(bytes, kPngSignature)) return decodePng(bytes, maxSide);
        if (startsWith(bytes, kJpegSignature)) return decodeJpeg(bytes, maxSide);
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}

}  // namespace vamu::native
