#include "win/platform/win_picture.h"

#include "win/platform/com_error.h"

namespace vamu::win {
namespace {

HRESULT create(PICTDESC& description, BOOL own, ComPtr<IPicture>& picture) {
    description.cbSizeofstruct = sizeof(PICTDESC);
    return OleCreatePictureIndirect(&description, IID_IPicture, own, picture.putVoid());
}

}  // namespace

SHORT WinPicture::type() const {
    SHORT kind = PICTYPE_UNINITIALIZED;
    if (picture_) picture_->get_Type(&kind);
    return kind;
}

bool WinPicture::isEmpty() const {
    const SHORT kind = type();
    return kind == PICTYPE_NONE || kind == PICTYPE_UNINITIALIZED;
}

ComPtr<IPictureDisp> WinPicture::dispatch() const {
    ComPtr<IPictureDisp> result;
    check(picture_.query(IID_IPictureDisp, result));
    return result;
}

PictureRef makeEmptyPicture() {
    PICTDESC description{};
    description.picType = PICTYPE_NONE;
    ComPtr<IPicture> picture;
    check(create(description, FALSE, picture));
    return std::make_shared<WinPicture>(std::move(picture));
}

PictureRef makeBitmapPicture(HBITMAP bitmap) {
    PICTDESC description{};
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = bitmap;
    ComPtr<IPicture> picture;
    if (const HRESULT hr = create(description, TRUE, picture); FAILED(hr)) {
        DeleteObject(bitmap);
        throw errorFromHresult(hr);
    }
    return std::make_shared<WinPicture>(std::move(picture));
}

const WinPicture& winPictureOf(const PictureRef& picture) {
    const auto* win = dynamic_cast<const WinPicture*>(picture.get());
    if (!win) raise(ErrorNumber::TypeMismatch);
    return *win;
}

}  // namespace vamu::win
