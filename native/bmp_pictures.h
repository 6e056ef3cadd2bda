#pragma once
// Loading pictures from files and saving them as Windows bitmap files, with
// host paths mapped onto the local file system.

#include "contracts/platform.h"
#include "native/bitmap_picture.h"
#include "native/bmp_codec.h"
#include "native/drive_map.h"
#include "native/png_writer.h"

namespace vamu::native {

class NativePictures : public Pictures {
public:
    explicit NativePictures(DriveMap& drives) : drives_(drives) {}

    // "" gives the empty picture. A path on an unknown drive or in a missing
    // folder is error 76, a missing file 53, a file that is no bitmap this
    // platform reads 481.
    PictureRef load(const std::u16string& path) override;
    // Nothing is error 91; the empty picture, or a picture of another kind,
    // is error 481. The file errors are those of replaceFileAtomically.
    void saveAsBmp(const PictureRef& picture, const std::u16string& path) override;

private:
    DriveMap& drives_;
};

}  // namespace vamu::native
