#include "gfxutil/Vector3.h"

#include <cmath>

namespace quarn::gfx {

float Vec3Length(const Vector3& v) {
  return std::sqrt(Vec3Dot(v, v));
}

Vector3 Vec3Normalize(const Vector3& v) {
  const float length = Vec3Length(v);
  if (length == 0.0f)
    return {};
  return v / length;
}

}  // namespace quarn::gfx
