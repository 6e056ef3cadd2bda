#pragma once
// PNG files of an image, for looking at maps outside the host.

#include <filesystem>

#include "contracts/picture.h"

namespace vamu::native {

// False when this build has no PNG support (nothing is written then).
// Otherwise writes the file as atomically as a bitmap; the errors are those
// of replaceFileAtomically, or 481 for an image without pixels.
bool writePng(const Image& image, const std::filesystem::path& file);

}  // namespace vamu::native
