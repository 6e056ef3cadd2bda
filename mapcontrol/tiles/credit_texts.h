#pragma once
// The credits the tile sources ask for, drawn in the bottom-right corner of
// every tile picture. The map data set's glyph atlas holds every character
// used here (the generator reads this header), so the credit never falls back
// to boxes.

#include <cstdint>

namespace vamu::tiles::credits {

// 地理院タイル: the Geospatial Information Authority of Japan asks for its
// name on every map made from its tiles.
inline constexpr char32_t kGsi[] = U"地理院タイル";
// The seamless photo mosaic is made from satellite images at the coarse zoom
// levels; those sources are named beside 地理院タイル there.
inline constexpr std::int32_t kGsiPhotoLandsatMaxZoom = 8;
inline constexpr char32_t kGsiPhotoLandsat[] =
    U"地理院タイル, Landsat8画像（GSI,TSIC,GEO Grid/AIST）, Landsat8画像（courtesy of the U.S. Geological "
    U"Survey）, 海底地形（GEBCO）";
inline constexpr std::int32_t kGsiPhotoMosaicMaxZoom = 13;
inline constexpr char32_t kGsiPhotoMosaic[] =
    U"地理院タイル, Images on 世界衛星モザイク画像 obtained from site https://lpdaac.usgs.gov/data_access "
    U"maintained by the NASA Land Processes Distributed Active Archive Center (LP DAAC), USGS/Earth "
    U"Resources "
    U"Observation and Science (EROS) Center, Sioux Falls, South Dakota, (Year). Source of image data "
    U"product.";
// OpenStreetMap's tile usage policy: the copyright notice on the map.
inline constexpr char32_t kOsm[] = U"© OpenStreetMap contributors";

// Every credit, for the glyph atlas.
inline constexpr const char32_t* kAll[] = {kGsi, kGsiPhotoLandsat, kGsiPhotoMosaic, kOsm};

}  // namespace vamu::tiles::credits
