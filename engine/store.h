#pragma once
// The plug-in's shared state: one store per apartment, read and written
// directly by the server, the render cycle and the panel.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "contracts/host.h"
#include "engine/vb.h"

namespace vamu {

struct LayerInfo {
    std::u16string Title;
    std::int32_t LayerScale = 0;
    std::int16_t LayerID = 0;
    vb::Boolean Enabled = vb::False;
};

inline constexpr std::size_t kLayerSlots = 14;
inline constexpr std::int16_t kStartLayer = 7;
inline constexpr std::int32_t kPanStep = 15000;  // msec
inline constexpr char16_t kTitle[] = u"Mapserver by Vamu";

struct Store {
    std::u16string strUIVPath;
    std::u16string strMapFile;
    std::shared_ptr<HostForm> frmHost;
    std::shared_ptr<HostPictureBox> picHost;
    std::shared_ptr<HostEvents> objEvents;
    std::int16_t intLayer = 0;
    std::int16_t intPicHeight = 0;
    std::int16_t intPicWidth = 0;
    std::int16_t intLayerCount = 0;
    std::u16string strInfo;
    std::u16string strTitle;
    vb::Boolean blnCanZoomIn = vb::False;
    vb::Boolean blnCanZoomOut = vb::False;
    std::int32_t lngPanStep = 0;
    std::array<LayerInfo, kLayerSlots> udtLayers{};
    double dblMapX1 = 0.0;
    double dblMapY1 = 0.0;
    double dblMapX2 = 0.0;
    double dblMapY2 = 0.0;

    // udtLayers(index), with the subscript check (error 9).
    LayerInfo& layer(std::int32_t index);
};

// A reference that must have been set (error 91 otherwise). The copy keeps
// the object alive for the caller even if the store's field is replaced
// while a call is in progress.
template <class T>
std::shared_ptr<T> requiredRef(const std::shared_ptr<T>& reference) {
    if (!reference) raise(ErrorNumber::ObjectNotSet);
    return reference;
}

}  // namespace vamu
