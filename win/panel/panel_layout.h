#pragma once
// Where the panel's controls stand: the designed positions in twips, at 15
// twips to the pixel. The option buttons stand in the frame, so their
// window positions add the frame's.

#include <windows.h>

namespace vamu::win::layout {

inline constexpr int kTwipsPerPixel = 15;

constexpr RECT twips(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, (left + width) / kTwipsPerPixel,
            (top + height) / kTwipsPerPixel};
}

inline constexpr int kClientWidth = 6615 / kTwipsPerPixel;  // 441
// The designed form, 4590 twips high, and a row for the map's source
// under the log.
inline constexpr int kClientHeight = 5040 / kTwipsPerPixel;  // 336

inline constexpr RECT kMiniAtlas = twips(0, 0, 4215, 3735);
inline constexpr RECT kAtlas = twips(0, 0, 6135, 3735);
inline constexpr RECT kText1 = twips(0, 3720, 6615, 855);
inline constexpr RECT kFrame1 = twips(4440, 0, 2175, 3735);
inline constexpr int kOptionCount = 13;
// The caption and the drop-down list (its height takes in the open list).
inline constexpr RECT kSourceLabel = twips(60, 4710, 1260, 240);
inline constexpr RECT kSourceList = twips(1320, 4650, 5235, 2400);

constexpr RECT option1(int index) { return twips(4440 + 120, 240 + 240 * index, 1935, 255); }

// Control identifiers, in tab order.
inline constexpr int kMiniAtlasId = 100;
inline constexpr int kAtlasId = 101;
inline constexpr int kText1Id = 102;
inline constexpr int kFrame1Id = 103;
inline constexpr int kOption1Id = 200;  // + index
inline constexpr int kSourceLabelId = 300;
inline constexpr int kSourceListId = 301;

}  // namespace vamu::win::layout
