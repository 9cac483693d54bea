#include "gfxutil/MeshBounds.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quarn::gfx {

namespace {

platform::Vector3 PositionAt(const void* first, uint32_t index, uint32_t stride) {
  platform::Vector3 v;
  std::memcpy(&v, static_cast<const uint8_t*>(first) + static_cast<size_t>(index) * stride,
              sizeof v);
  return v;
}

}  // namespace

bool SphereAroundPositions(const void* first, uint32_t count, uint32_t stride,
                           platform::Vector3* center, float* radius) {
  if (first == nullptr || count == 0)
    return false;
  double sx = 0, sy = 0, sz = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const platform::Vector3 p = PositionAt(first, i, stride);
    sx += p.x;
    sy += p.y;
    sz += p.z;
  }
  const platform::Vector3 c{static_cast<float>(sx / count), static_cast<float>(sy / count),
                            static_cast<float>(sz / count)};
  float largest = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const platform::Vector3 p = PositionAt(first, i, stride);
    const float dx = p.x - c.x, dy = p.y - c.y, dz = p.z - c.z;
    largest = std::max(largest, dx * dx + dy * dy + dz * dz);
  }
  *center = c;
  *radius = std::sqrt(largest);
  return true;
}

bool BoxAroundPositions(const void* first, uint32_t count, uint32_t stride, platform::Vector3* min,
                        platform::Vector3* max) {
  if (first == nullptr || count == 0)
    return false;
  platform::Vector3 lo = PositionAt(first, 0, stride);
  platform::Vector3 hi = lo;
  for (uint32_t i = 1; i < count; ++i) {
    const platform::Vector3 p = PositionAt(first, i, stride);
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
  }
  *min = lo;
  *max = hi;
  return true;
}

}  // namespace quarn::gfx
