// Pictures from and into files, and the clipboard.

#include "engine/bmp_encoder.h"
#include "win/platform/bitmaps.h"
#include "win/platform/bstr.h"
#include "win/platform/clipboard.h"
#include "win/platform/file_faults.h"
#include "win/platform/file_io.h"
#include "win/platform/pictures.h"
#include "win/platform/wic_png_writer.h"
#include "win/tests/support/check.h"
#include "win/tests/support/temp_folder.h"
#include "win/platform/win_picture.h"

#include <wincodec.h>

#include <utility>

namespace vamu::wine_test {
namespace {

std::uint32_t read32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// The 0x00RRGGBB pixel (x, y) of a 24-bit bottom-up BMP file.
std::uint32_t bmpPixel(const std::vector<std::uint8_t>& file, int x, int y) {
    const auto width = static_cast<int>(read32(file, 18));
    const auto height = static_cast<int>(read32(file, 22));
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::size_t at = read32(file, 10) + stride * static_cast<std::size_t>(height - 1 - y) +
                           static_cast<std::size_t>(x) * 3;
    return file[at] | (file[at + 1] << 8) | (static_cast<std::uint32_t>(file[at + 2]) << 16);
}

Image sample() {
    Image image(3, 2, 0x00FFFFFF);
    image.at(0, 0) = 0x00FF0000;  // red top-left
    image.at(2, 1) = 0x000000FF;  // blue bottom-right
    return image;
}

// The width and height of a picture's bitmap; (0, 0) for an empty picture.
using Size = std::pair<LONG, LONG>;

Size sizeOf(const PictureRef& picture) {
    OLE_HANDLE handle = 0;
    if (picture->isEmpty() || FAILED(win::winPictureOf(picture).get()->get_Handle(&handle))) return {0, 0};
    BITMAP shape{};
    GetObjectW(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof shape, &shape);
    return {shape.bmWidth, shape.bmHeight};
}

// Another program's bitmap on the clipboard.
void putForeignBitmap(std::int32_t width, std::int32_t height) {
    win::UniqueBitmap bitmap = win::bitmapFromImage(Image(width, height, 0x00123456));
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    if (SetClipboardData(CF_BITMAP, bitmap.get())) bitmap.release();
    CloseClipboard();
}

PictureRef bitmapPicture(const Image& image) {
    return win::makeBitmapPicture(win::bitmapFromImage(image).release());
}

CHECK_CASE(loading_gives_pictures_or_vb_file_errors) {
    TempFolder folder;
    win::WinPictures pictures;
    CHECK(pictures.load(u"")->isEmpty());
    CHECK_RAISES(53, pictures.load(folder.path(u"missing.bmp")));
    CHECK_RAISES(76, pictures.load(folder.path(u"no folder\\x.bmp")));
    writeText(folder.path(u"text.bmp"), "not a picture at all");
    CHECK_RAISES(481, pictures.load(folder.path(u"text.bmp")));
    writeText(folder.path(u"empty.bmp"), "");
    CHECK_RAISES(481, pictures.load(folder.path(u"empty.bmp")));
}

CHECK_CASE(a_saved_bitmap_is_a_bmp_file_that_loads_again) {
    TempFolder folder;
    win::WinPictures pictures;
    const std::u16string path = folder.path(u"!!vamuMapserver.bmp");
    pictures.saveAsBmp(bitmapPicture(sample()), path);
    const std::vector<std::uint8_t> file = win::readWholeFile(path);
    CHECK(win::isBmpFile(file));
    CHECK(read32(file, 18) == 3 && read32(file, 22) == 2 && (file[28] | (file[29] << 8)) == 24);
    CHECK(bmpPixel(file, 0, 0) == 0x00FF0000 && bmpPixel(file, 2, 1) == 0x000000FF);
    CHECK(bmpPixel(file, 1, 0) == 0x00FFFFFF);
    // Byte for byte what the core's encoder writes, as the native build does.
    std::vector<std::uint8_t> encoded;
    encodeBmp(sample(), [&](std::span<const std::uint8_t> piece) {
        encoded.insert(encoded.end(), piece.begin(), piece.end());
    });
    CHECK(file == encoded);
    PictureRef loaded = pictures.load(path);
    CHECK(!loaded->isEmpty() && win::winPictureOf(loaded).type() == PICTYPE_BITMAP);
    CHECK(folder.listing() == u"!!vamuMapserver.bmp;");
}

// A read-only map bitmap is refused with error 75 and stays as it was, read
// only, as the native build refuses it.
CHECK_CASE(a_read_only_bitmap_is_refused_and_left_alone) {
    TempFolder folder;
    win::WinPictures pictures;
    const std::u16string path = folder.path(u"!!vamuMapserver.bmp");
    writeText(path, "old contents");
    CHECK(SetFileAttributesW(win::wide(path), FILE_ATTRIBUTE_READONLY));
    CHECK_RAISES(75, pictures.saveAsBmp(bitmapPicture(sample()), path));
    const std::vector<std::uint8_t> old = win::readWholeFile(path);
    CHECK(std::string(old.begin(), old.end()) == "old contents");
    CHECK((GetFileAttributesW(win::wide(path)) & FILE_ATTRIBUTE_READONLY) != 0);
    CHECK(folder.listing() == u"!!vamuMapserver.bmp;");
    SetFileAttributesW(win::wide(path), FILE_ATTRIBUTE_NORMAL);  // so the folder can go
}

CHECK_CASE(a_failed_save_leaves_the_old_file_and_no_temporary_one) {
    TempFolder folder;
    win::WinPictures pictures;
    const std::u16string path = folder.path(u"map.bmp");
    writeText(path, "old contents");
    CHECK_RAISES(static_cast<int>(ErrorNumber::InvalidPropertyValue),
                 pictures.saveAsBmp(win::makeEmptyPicture(), path));
    CHECK_RAISES(91, pictures.saveAsBmp(nullptr, path));
    CHECK_RAISES(76, pictures.saveAsBmp(bitmapPicture(sample()), folder.path(u"MAPS\\map.bmp")));
    const std::vector<std::uint8_t> old = win::readWholeFile(path);
    CHECK(std::string(old.begin(), old.end()) == "old contents");
    CHECK(folder.listing() == u"map.bmp;");
    pictures.saveAsBmp(bitmapPicture(sample()), path);  // replaces it
    CHECK(win::isBmpFile(win::readWholeFile(path)) && folder.listing() == u"map.bmp;");
}

// Each Win32 call of the save failing in turn, before or after it took
// effect, over an old bitmap and where there was none: the save fails, the
// old file is as it was or the new one is whole, no temporary file is left.
CHECK_CASE(every_call_of_the_save_failing_leaves_the_old_bitmap_or_the_new_one) {
    using vamu::FileCall, vamu::FileFault;
    const Image image(640, 480, 0x00336699);
    std::vector<std::uint8_t> whole;
    {
        TempFolder folder;
        win::WinPictures().saveAsBmp(bitmapPicture(image), folder.path(u"whole.bmp"));
        whole = win::readWholeFile(folder.path(u"whole.bmp"));
    }
    CHECK(whole.size() == bmpFileSize(image));
    for (const FileCall failing : {FileCall::Open, FileCall::Write, FileCall::Close, FileCall::Rename}) {
        for (const FileFault fault : {FileFault::Before, FileFault::After}) {
            for (const bool existed : {true, false}) {
                TempFolder folder;
                win::WinPictures pictures;
                const std::u16string path = folder.path(u"!!vamuMapserver.bmp");
                if (existed) writeText(path, "old contents");
                int seen = 0;
                {
                    FileFaultScope faults([&](FileCall call) {
                        return call == failing && ++seen == 1 ? fault : FileFault::None;
                    });
                    CHECK(errorOf([&] { pictures.saveAsBmp(bitmapPicture(image), path); }) != 0);
                }
                CHECK(seen == 1);
                const bool moved = failing == FileCall::Rename && fault == FileFault::After;
                if (!existed && !moved) {
                    CHECK(folder.listing().empty());
                    continue;
                }
                CHECK(folder.listing() == u"!!vamuMapserver.bmp;");
                const std::vector<std::uint8_t> file = win::readWholeFile(path);
                if (moved) {
                    CHECK(file == whole);
                } else {
                    CHECK(std::string(file.begin(), file.end()) == "old contents");
                }
            }
        }
    }
}

// The pixels of a PNG file as WIC's PNG decoder reads them, 0x00RRGGBB
// row by row from the top; empty when it cannot.
std::vector<std::uint32_t> pngPixels(const std::u16string& path, UINT& width, UINT& height) {
    win::ComPtr<IWICImagingFactory> factory;
    win::ComPtr<IWICBitmapDecoder> decoder;
    win::ComPtr<IWICBitmapFrameDecode> frame;
    win::ComPtr<IWICFormatConverter> converter;
    std::vector<std::uint32_t> pixels;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.putVoid())) ||
        FAILED(factory->CreateDecoderFromFilename(win::wide(path), &GUID_VendorMicrosoft, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetSize(&width, &height)) ||
        FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom)))
        return pixels;
    GUID container{};
    if (FAILED(decoder->GetContainerFormat(&container)) || container != GUID_ContainerFormatPng)
        return pixels;
    pixels.resize(std::size_t{width} * height);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size() * 4),
                                     reinterpret_cast<BYTE*>(pixels.data()))))
        pixels.clear();
    for (std::uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;
    return pixels;
}

// The PNG copy holds exactly the bitmap's pixels (an odd width, so that the
// bitmap's rows are padded); a file that is no picture gives no copy.
CHECK_CASE(the_png_copy_holds_the_pixels_of_the_bitmap) {
    TempFolder folder;
    Image image(37, 23);
    for (std::int32_t y = 0; y < image.height; ++y) {
        for (std::int32_t x = 0; x < image.width; ++x)
            image.at(x, y) = static_cast<std::uint32_t>((x * 7) << 16 | (y * 11) << 8 | ((x * y) & 0xFF));
    }
    const std::u16string bmp = folder.path(u"map.bmp"), png = folder.path(u"map.png");
    win::WinPictures().saveAsBmp(bitmapPicture(image), bmp);
    win::writePngCopy(bmp, png);
    const std::vector<std::uint8_t> bmpFile = win::readWholeFile(bmp), pngFile = win::readWholeFile(png);
    CHECK(pngFile.size() > 8 && std::string(pngFile.begin() + 1, pngFile.begin() + 4) == "PNG");
    UINT width = 0, height = 0;
    const std::vector<std::uint32_t> decoded = pngPixels(png, width, height);
    CHECK(width == 37 && height == 23 && decoded.size() == 37 * 23);
    bool same = decoded.size() == 37 * 23;
    for (int y = 0; same && y < 23; ++y) {
        for (int x = 0; same && x < 37; ++x)
            same = decoded[static_cast<std::size_t>(y * 37 + x)] == bmpPixel(bmpFile, x, y) &&
                   bmpPixel(bmpFile, x, y) == image.at(x, y);
    }
    CHECK(same);
    CHECK(folder.listing() == u"map.bmp;map.png;");

    writeText(folder.path(u"bad.bmp"), "no picture");
    CHECK_RAISES(481, win::writePngCopy(folder.path(u"bad.bmp"), folder.path(u"bad.png")));
    CHECK_RAISES(53, win::writePngCopy(folder.path(u"none.bmp"), folder.path(u"none.png")));
    CHECK(folder.listing() == u"bad.bmp;map.bmp;map.png;");
}

CHECK_CASE(the_clipboard_carries_the_image_as_a_bitmap) {
    win::WinClipboard clipboard;
    clipboard.setImage(Image{});
    CHECK(!clipboard.hasBitmap());
    CHECK(clipboard.picture()->isEmpty());
    clipboard.setImage(sample());
    CHECK(clipboard.hasBitmap());
    PictureRef picture = clipboard.picture();
    CHECK(!picture->isEmpty());
    TempFolder folder;
    win::WinPictures().saveAsBmp(picture, folder.path(u"clip.bmp"));
    const std::vector<std::uint8_t> file = win::readWholeFile(folder.path(u"clip.bmp"));
    CHECK(read32(file, 18) == 3 && read32(file, 22) == 2);
    CHECK(bmpPixel(file, 0, 0) == 0x00FF0000 && bmpPixel(file, 2, 1) == 0x000000FF);
    // The picture is a copy: the clipboard's next contents do not change it.
    clipboard.setImage(Image(1, 1));
    CHECK(!picture->isEmpty() && clipboard.hasBitmap());
}

// The clipboard object hands back what it put there itself; once anyone
// else has replaced the clipboard's contents, it reads them instead.
CHECK_CASE(the_clipboard_picture_follows_another_writer) {
    win::WinClipboard clipboard;
    const Image mine = sample();
    clipboard.setImage(mine);
    CHECK(sizeOf(clipboard.picture()) == Size(mine.width, mine.height));

    putForeignBitmap(7, 5);
    CHECK(sizeOf(clipboard.picture()) == Size(7, 5));

    if (OpenClipboard(nullptr)) {  // a writer leaving text only: no picture
        EmptyClipboard();
        CloseClipboard();
    }
    CHECK(clipboard.picture()->isEmpty());

    clipboard.setImage(mine);  // and its own again after that
    CHECK(sizeOf(clipboard.picture()) == Size(mine.width, mine.height));
}

}  // namespace
}  // namespace vamu::wine_test
