#pragma once
// The host's picture box as the requests reach it.

#include <memory>

#include "contracts/host.h"
#include "engine/module.h"

namespace vamu {

inline constexpr std::int16_t kScalePixels = 3;

// picMap with its members called by name; Nothing is error 91.
inline std::shared_ptr<HostPictureBox> lateBoundPicture(Module& module, const ObjectRef& picMap) {
    if (!picMap) raise(ErrorNumber::ObjectNotSet);
    return requiredRef(module.services.host.lateBoundPictureBox(picMap));
}

}  // namespace vamu
