#pragma once
// Bounds over strided vertex positions (the first three floats of each vertex): the sphere
// around their average with the largest distance as radius, and the axis-aligned box.
#include <cstdint>

#include "platform/DeviceTypes.h"

namespace quarn::gfx {

// False (and nothing written) when there are no positions.
bool SphereAroundPositions(const void* first, uint32_t count, uint32_t stride,
                           platform::Vector3* center, float* radius);
bool BoxAroundPositions(const void* first, uint32_t count, uint32_t stride, platform::Vector3* min,
                        platform::Vector3* max);

}  // namespace quarn::gfx
