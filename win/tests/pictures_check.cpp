// Pictures from and into files, and the clipboard.

#include "engine/bmp_encoder.h"
#include "win/platform/bitmaps.h"
#include "win/platform/bstr.h"
#include "win/platform/clipboard.h"
#include "win/platform/file_io.h"
#include "win/platform/pictures.h"
#include "win/tests/support/check.h"
#include "win/tests/support/temp_folder.h"
#include "win/platform/win_picture.h"

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
