#include "win/platform/pictures.h"

#include <windows.h>
#include <objidl.h>

#include <cstring>

#include "engine/bmp_encoder.h"
#include "win/platform/bitmaps.h"
#include "win/platform/com_error.h"
#include "win/platform/file_io.h"
#include "win/platform/win_picture.h"

namespace vamu::win {
namespace {

// A stream over a copy of the bytes, freed with the stream.
ComPtr<IStream> streamOver(std::span<const std::uint8_t> bytes) {
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    if (!memory) raise(ErrorNumber::OutOfMemory);
    if (void* target = GlobalLock(memory.get())) {
        std::memcpy(target, bytes.data(), bytes.size());
        GlobalUnlock(memory.get());
    }
    ComPtr<IStream> stream;
    check(CreateStreamOnHGlobal(memory.get(), TRUE, stream.put()));
    memory.release();  // the stream owns it now
    return stream;
}

}  // namespace

PictureRef WinPictures::load(const std::u16string& path) {
    if (path.empty()) return makeEmptyPicture();
    const std::vector<std::uint8_t> bytes = readWholeFile(path);
    if (bytes.empty()) raise(ErrorNumber::InvalidPicture);
    ComPtr<IStream> stream = streamOver(bytes);
    ComPtr<IPicture> picture;
    const HRESULT hr =
        OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture, picture.putVoid());
    if (FAILED(hr) || !picture) {
        if (hr == E_OUTOFMEMORY) raise(ErrorNumber::OutOfMemory);
        raise(ErrorNumber::InvalidPicture);
    }
    return std::make_shared<WinPicture>(std::move(picture));
}

// The bitmap's pixels go through the core's encoder straight into the
// temporary file, as on every platform.
void WinPictures::saveAsBmp(const PictureRef& picture, const std::u16string& path) {
    if (!picture) raise(ErrorNumber::ObjectNotSet);
    const WinPicture& bitmap = winPictureOf(picture);
    if (bitmap.type() != PICTYPE_BITMAP) raise(ErrorNumber::InvalidPropertyValue);
    OLE_HANDLE handle = 0;
    check(bitmap.get()->get_Handle(&handle));
    const Image image = imageFromBitmap(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)));
    replaceFile(path, [&](const ByteSink& write) { encodeBmp(image, write); });
}

}  // namespace vamu::win
