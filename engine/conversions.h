#pragma once
// Conversions between WGS84 degrees (the host's side) and Tokyo-datum msec
// (the map control's side): the first-order affine datum shift for Japan in
// each direction and the degrees/msec unit change. Every step is one IEEE
// double operation in a fixed order, so the results are exact to the bit.

#include <cstdint>

namespace vamu {

// Each writes the latitude result before it computes the longitude; pass
// outputs distinct from the inputs.
void TokyoToWGS84(const double& lat, const double& lng, double& latOut, double& lngOut);
void WGS84ToTokyo(const double& lat, const double& lng, double& latOut, double& lngOut);

// Whole arc-seconds (thousandths dropped, floored) as degrees.
double MsecToDeg(const std::int32_t& msec);
// Degrees as msec, the seconds held in single precision on the way.
std::int32_t DegToMsec(const double& degrees);

// A corner of the map as the host is told it: the control's whole-msec
// Tokyo position, to whole arc-seconds, then shifted to WGS84.
void CornerToWGS84(const std::int32_t& latMsec, const std::int32_t& lngMsec, double& latOut, double& lngOut);

}  // namespace vamu
