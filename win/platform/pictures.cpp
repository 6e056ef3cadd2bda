#include "win/platform/pictures.h"

#include <windows.h>
#include <objidl.h>

#include <cstring>

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

// What the picture writes of itself, when that is a whole BMP file.
std::vector<std::uint8_t> savedByPicture(IPicture* picture) {
    ComPtr<IStream> stream;
    check(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
    LONG size = 0;
    if (FAILED(picture->SaveAsFile(stream.get(), TRUE, &size)) || size <= 0) return {};
    HGLOBAL memory = nullptr;
    check(GetHGlobalFromStream(stream.get(), &memory));
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (GlobalSize(memory) < bytes.size()) return {};
    const void* source = GlobalLock(memory);
    if (!source) return {};
    std::memcpy(bytes.data(), source, bytes.size());
    GlobalUnlock(memory);
    return isBmpFile(bytes) ? bytes : std::vector<std::uint8_t>{};
}

// The picture as a BMP file: its own serialisation where it writes one
// (Windows does for a bitmap), otherwise made from its bitmap handle.
std::vector<std::uint8_t> bmpBytesOf(const WinPicture& picture) {
    if (picture.type() != PICTYPE_BITMAP) raise(ErrorNumber::InvalidPropertyValue);
    std::vector<std::uint8_t> bytes = savedByPicture(picture.get());
    if (!bytes.empty()) return bytes;
    OLE_HANDLE handle = 0;
    check(picture.get()->get_Handle(&handle));
    return bmpFileFromBitmap(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)));
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

void WinPictures::saveAsBmp(const PictureRef& picture, const std::u16string& path) {
    if (!picture) raise(ErrorNumber::ObjectNotSet);
    const std::vector<std::uint8_t> bytes = bmpBytesOf(winPictureOf(picture));
    replaceFile(path, bytes);
}

}  // namespace vamu::win
