#pragma once
// Pictures from files and pictures into BMP files, as OLE pictures.

#include "contracts/platform.h"

namespace vamu::win {

class WinPictures : public Pictures {
public:
    PictureRef load(const std::u16string& path) override;
    void saveAsBmp(const PictureRef& picture, const std::u16string& path) override;
};

}  // namespace vamu::win
