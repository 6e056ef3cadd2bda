#include "win/platform/wic_decoder.h"

#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

#include <limits>

#include "win/platform/com_ptr.h"
#include "win/platform/image_header.h"

namespace vamu::win {
namespace {

// COM on the calling thread for the time of a scope, where it has none yet.
class ComForCall {
public:
    ComForCall() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ComForCall(const ComForCall&) = delete;
    ComForCall& operator=(const ComForCall&) = delete;
    ~ComForCall() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    // RPC_E_CHANGED_MODE: the thread is in a single-threaded apartment,
    // where the decoder works as well.
    bool ready() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

// A straight-alpha BGRA pixel laid over white, as 0x00RRGGBB.
std::uint32_t overWhite(std::uint32_t bgra) {
    const std::uint32_t alpha = bgra >> 24;
    if (alpha == 255) return bgra & 0xFFFFFF;
    const std::uint32_t white = (255 - alpha) * 255;
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t channel = (bgra >> shift) & 0xFF;
        result |= ((channel * alpha + white + 127) / 255) << shift;
    }
    return result;
}

bool sizeFits(std::uint32_t width, std::uint32_t height, std::int32_t maxSide) {
    return width > 0 && height > 0 && maxSide > 0 && width <= static_cast<std::uint32_t>(maxSide) &&
           height <= static_cast<std::uint32_t>(maxSide);
}

ComPtr<IWICBitmapFrameDecode> firstFrame(IWICImagingFactory* factory, std::span<const std::uint8_t> bytes,
                                         const GUID& container) {
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    GUID format{};
    // The stream only reads the bytes it is lent.
    if (FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                            static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.put())) ||
        FAILED(decoder->GetContainerFormat(&format)) || !IsEqualGUID(format, container) ||
        FAILED(decoder->GetFrame(0, frame.put()))) {
        return {};
    }
    return frame;
}

}  // namespace

std::optional<Image> WicImageDecoder::decode(std::span<const std::uint8_t> bytes, std::int32_t maxSide) {
    // The size is checked on the header's own bytes first: some decoders
    // allocate the whole picture as soon as they open it.
    const auto header = readImageHeader(bytes);
    if (!header || !sizeFits(header->width, header->height, maxSide) ||
        bytes.size() > std::numeric_limits<DWORD>::max()) {
        return std::nullopt;
    }
    const ComForCall com;
    if (!com.ready()) return std::nullopt;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.putVoid()))) {
        return std::nullopt;
    }
    const GUID& container =
        header->kind == ImageKind::Png ? GUID_ContainerFormatPng : GUID_ContainerFormatJpeg;
    const ComPtr<IWICBitmapFrameDecode> frame = firstFrame(factory.get(), bytes, container);
    UINT width = 0, height = 0;
    if (!frame || FAILED(frame->GetSize(&width, &height)) || !sizeFits(width, height, maxSide))
        return std::nullopt;

    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
        return std::nullopt;
    }
    Image image;
    try {
        image = Image(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
    } catch (...) {
        return std::nullopt;  // beyond the largest image, or out of memory
    }
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height,
                                     reinterpret_cast<BYTE*>(image.pixels.data())))) {
        return std::nullopt;
    }
    for (std::uint32_t& pixel : image.pixels) pixel = overWhite(pixel);
    return image;
}

}  // namespace vamu::win
