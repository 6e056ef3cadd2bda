#include "native/bmp_pictures.h"

#include "contracts/runtime_error.h"
#include "native/atomic_file.h"

namespace vamu::native {

PictureRef NativePictures::load(const std::u16string& path) {
    if (path.empty()) return std::make_shared<BitmapPicture>();
    const std::vector<std::uint8_t> bytes = readWholeFile(drives_.toLocal(path));
    return std::make_shared<BitmapPicture>(decodeBmp(bytes));
}

void NativePictures::saveAsBmp(const PictureRef& picture, const std::u16string& path) {
    if (!picture) raise(ErrorNumber::ObjectNotSet);
    const std::shared_ptr<const Image> image = imageOf(picture);
    if (!image) raise(ErrorNumber::InvalidPicture);
    replaceFileAtomically(drives_.toLocal(path), [&](const ByteSink& write) { encodeBmp(*image, write); });
}

}  // namespace vamu::native
