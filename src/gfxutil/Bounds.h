#pragma once
// Bounds of a mesh's vertex positions. Positions are read from a strided array, as they sit
// in a vertex buffer: three floats at the start of each of count records of stride bytes
// (stride of at least 12; the records need no particular alignment).
#include <cstddef>

#include "gfxutil/Vector3.h"

namespace quarn::gfx {

// Sphere around the positions: the centre is their average (not the middle of their box)
// and the radius the largest distance from it. No positions, a null array or a stride below
// 12 fail: false, with a zero centre and radius.
bool ComputeBoundingSphere(const void* firstPosition, size_t count, size_t stride, Vector3* centre,
                           float* radius);

// Axis-aligned box: the per-component minimum and maximum of the positions. Fails as
// ComputeBoundingSphere does, leaving both corners at zero.
bool ComputeBoundingBox(const void* firstPosition, size_t count, size_t stride, Vector3* min,
                        Vector3* max);

}  // namespace quarn::gfx
