#include "gfxutil/Bounds.h"

#include <algorithm>
#include <cstring>

namespace quarn::gfx {
namespace {

constexpr size_t kPositionBytes = 3 * sizeof(float);

Vector3 PositionAt(const void* first, size_t index, size_t stride) {
  float xyz[3];
  std::memcpy(xyz, static_cast<const unsigned char*>(first) + index * stride, kPositionBytes);
  return {xyz[0], xyz[1], xyz[2]};
}

bool Readable(const void* first, size_t count, size_t stride) {
  return first && count > 0 && stride >= kPositionBytes;
}

}  // namespace

bool ComputeBoundingSphere(const void* firstPosition, size_t count, size_t stride, Vector3* centre,
                           float* radius) {
  if (!centre || !radius)
    return false;
  *centre = {};
  *radius = 0;
  if (!Readable(firstPosition, count, stride))
    return false;
  Vector3 sum;
  for (size_t i = 0; i < count; ++i)
    sum += PositionAt(firstPosition, i, stride);
  const Vector3 middle = sum / static_cast<float>(count);
  float farthest = 0;
  for (size_t i = 0; i < count; ++i) {
    farthest = std::max(farthest, Vec3Length(PositionAt(firstPosition, i, stride) - middle));
  }
  *centre = middle;
  *radius = farthest;
  return true;
}

bool ComputeBoundingBox(const void* firstPosition, size_t count, size_t stride, Vector3* min,
                        Vector3* max) {
  if (!min || !max)
    return false;
  *min = {};
  *max = {};
  if (!Readable(firstPosition, count, stride))
    return false;
  Vector3 low = PositionAt(firstPosition, 0, stride);
  Vector3 high = low;
  for (size_t i = 1; i < count; ++i) {
    const Vector3 p = PositionAt(firstPosition, i, stride);
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
  }
  *min = low;
  *max = high;
  return true;
}

}  // namespace quarn::gfx
