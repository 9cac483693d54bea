#pragma once
// The eight corners of a box in world space, in the order meshes hand them out (min/max per
// axis): (-,-,-), (+,-,-), (+,+,-), (-,+,-), (-,+,+), (-,-,+), (+,-,+), (+,+,+).
#include <array>

#include "gfxutil/Vector3.h"

namespace quarn {

using BoxCorners = std::array<gfx::Vector3, 8>;

}  // namespace quarn
