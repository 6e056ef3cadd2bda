#include "win/platform/wic_png_writer.h"

#include <windows.h>
#include <initguid.h>  // the WIC identifiers, defined here as selectany
#include <wincodec.h>

#include <cstdint>
#include <span>
#include <vector>

#include "contracts/picture.h"
#include "contracts/runtime_error.h"
#include "win/platform/com_error.h"
#include "win/platform/com_ptr.h"
#include "win/platform/file_io.h"
#include "win/platform/handles.h"

namespace vamu::win {
namespace {

// 24-bit rows as BMP and PNG both hold them, blue first, padded to four bytes.
struct Pixels {
    UINT width = 0;
    UINT height = 0;
    UINT stride = 0;
    std::vector<BYTE> bytes;
};

// A picture WIC cannot read is an invalid picture, as a bad bitmap is to
// the plug-in.
void requireDecoded(HRESULT hr) {
    if (hr == WINCODEC_ERR_COMPONENTNOTFOUND || hr == WINCODEC_ERR_BADHEADER || hr == WINCODEC_ERR_BADIMAGE ||
        hr == WINCODEC_ERR_UNKNOWNIMAGEFORMAT || hr == WINCODEC_ERR_STREAMREAD)
        raise(ErrorNumber::InvalidPicture);
    check(hr);
}

// The file as read (readWholeFile keeps it under 2 GB).
Pixels decode(IWICImagingFactory* factory, std::vector<std::uint8_t>& file) {
    ComPtr<IWICStream> stream;
    check(factory->CreateStream(stream.put()));
    check(stream->InitializeFromMemory(file.data(), static_cast<DWORD>(file.size())));
    ComPtr<IWICBitmapDecoder> decoder;
    requireDecoded(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                    decoder.put()));
    ComPtr<IWICBitmapFrameDecode> frame;
    requireDecoded(decoder->GetFrame(0, frame.put()));
    Pixels pixels;
    requireDecoded(frame->GetSize(&pixels.width, &pixels.height));
    const std::uint64_t stride = (std::uint64_t{pixels.width} * 3 + 3) & ~std::uint64_t{3};
    if (pixels.width == 0 || pixels.height == 0) raise(ErrorNumber::InvalidPicture);
    if (std::uint64_t{pixels.width} * pixels.height * 4 > kMaxImageBytes) raise(ErrorNumber::OutOfMemory);
    pixels.stride = static_cast<UINT>(stride);
    pixels.bytes.resize(static_cast<std::size_t>(stride * pixels.height));
    ComPtr<IWICFormatConverter> converter;
    check(factory->CreateFormatConverter(converter.put()));
    requireDecoded(converter->Initialize(frame.get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone,
                                         nullptr, 0.0, WICBitmapPaletteTypeCustom));
    requireDecoded(converter->CopyPixels(nullptr, pixels.stride, static_cast<UINT>(pixels.bytes.size()),
                                         pixels.bytes.data()));
    return pixels;
}

void encode(IWICImagingFactory* factory, Pixels& pixels, IStream* out) {
    ComPtr<IWICBitmapEncoder> encoder;
    check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put()));
    check(encoder->Initialize(out, WICBitmapEncoderNoCache));
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    check(encoder->CreateNewFrame(frame.put(), options.put()));
    check(frame->Initialize(options.get()));
    check(frame->SetSize(pixels.width, pixels.height));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    check(frame->SetPixelFormat(&format));
    if (format != GUID_WICPixelFormat24bppBGR) check(WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT);
    check(frame->WritePixels(pixels.height, pixels.stride, static_cast<UINT>(pixels.bytes.size()),
                             pixels.bytes.data()));
    check(frame->Commit());
    check(encoder->Commit());
}

// The bytes written into a memory stream.
class StreamBytes {
public:
    explicit StreamBytes(IStream* stream) {
        STATSTG stat{};
        check(stream->Stat(&stat, STATFLAG_NONAME));
        check(GetHGlobalFromStream(stream, &memory_));
        data_ = static_cast<const std::uint8_t*>(GlobalLock(memory_));
        if (!data_) check(E_OUTOFMEMORY);
        size_ = static_cast<std::size_t>(stat.cbSize.QuadPart);
    }
    StreamBytes(const StreamBytes&) = delete;
    StreamBytes& operator=(const StreamBytes&) = delete;
    ~StreamBytes() { GlobalUnlock(memory_); }
    std::span<const std::uint8_t> bytes() const noexcept { return {data_, size_}; }

private:
    HGLOBAL memory_ = nullptr;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace

void writePngCopy(const std::u16string& bitmap, const std::u16string& png) {
    ComPtr<IWICImagingFactory> factory;
    check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                           factory.putVoid()));
    if (!factory) check(E_NOINTERFACE);
    std::vector<std::uint8_t> file = readWholeFile(bitmap);
    Pixels pixels = decode(factory.get(), file);
    ComPtr<IStream> stream;
    check(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
    encode(factory.get(), pixels, stream.get());
    const StreamBytes written(stream.get());
    replaceFile(png, written.bytes());
}

}  // namespace vamu::win
