#pragma once
// The colours of the control's drawing, 0x00RRGGBB.

#include <cstdint>

namespace vamu::mapcontrol::palette {

inline constexpr std::uint32_t kSea = 0xA9CDEB;
inline constexpr std::uint32_t kLand = 0xF2EEDC;
inline constexpr std::uint32_t kLake = 0xBBDCF4;
inline constexpr std::uint32_t kCoast = 0x4F7FA8;
inline constexpr std::uint32_t kRiver = 0x5F9BD0;
inline constexpr std::uint32_t kBorder = 0x8E3F96;
inline constexpr std::uint32_t kGraticule = 0x8FA8C0;
inline constexpr std::uint32_t kLabelBack = 0xFFFFFF;
inline constexpr std::uint32_t kText = 0x202020;
inline constexpr std::uint32_t kPlaceDot = 0x303030;
inline constexpr std::uint32_t kScaleBar = 0x000000;
inline constexpr std::uint32_t kCentreMark = 0xD01818;

}  // namespace vamu::mapcontrol::palette
