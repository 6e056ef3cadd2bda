#pragma once
// How the simulated host opens a session: a host hands its picture box over
// with its first drawing request, DrawMapFromCorners, so unless the session
// already begins with corners the host draws a first view of its own.

#include <optional>

#include "simulator/arguments.h"

namespace vamu::sim {

// The view the host shows when nothing names a point: a rectangle around
// Tokyo (X1 Y1 X2 Y2, WGS84 degrees).
inline constexpr double kDefaultView[4] = {139.55, 35.85, 140.05, 35.55};

// The corners request that opens the session: around the point of a first
// centre request, around the default view for any other first request (or
// none), nothing when the first request is corners or --no-start asks for
// a bare session.
std::optional<Request> startingCorners(const Options& options);

}  // namespace vamu::sim
