#pragma once
// The platform's picture object: an OLE picture (IPicture), as a host's
// picture box takes it through its "Picture" property.

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "contracts/picture.h"
#include "win/platform/com_ptr.h"

namespace vamu::win {

class WinPicture : public Picture {
public:
    explicit WinPicture(ComPtr<IPicture> picture) : picture_(std::move(picture)) {}

    bool isEmpty() const override;
    IPicture* get() const noexcept { return picture_.get(); }
    SHORT type() const;  // PICTYPE_...
    ComPtr<IPictureDisp> dispatch() const;

private:
    ComPtr<IPicture> picture_;
};

// A picture that holds no image (PICTYPE_NONE).
PictureRef makeEmptyPicture();
// A bitmap picture that owns the bitmap from then on (also on failure).
PictureRef makeBitmapPicture(HBITMAP bitmap);

// The WinPicture behind a PictureRef; error 13 for a picture of another kind.
const WinPicture& winPictureOf(const PictureRef& picture);

}  // namespace vamu::win
