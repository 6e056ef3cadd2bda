#pragma once
// The colours of the control's drawing, 0x00RRGGBB.

#include <cstdint>

namespace vamu::mapcontrol::palette {

inline constexpr std::uint32_t kSea = 0x9CC3E6;
inline constexpr std::uint32_t kLand = 0xF2EEDC;
inline constexpr std::uint32_t kGraticule = 0x6F8CA8;
inline constexpr std::uint32_t kLabelBack = 0xFFFFFF;
inline constexpr std::uint32_t kText = 0x202020;
inline constexpr std::uint32_t kScaleBar = 0x000000;
inline constexpr std::uint32_t kCentreMark = 0xD01818;

}  // namespace vamu::mapcontrol::palette
