#pragma once
// The triangles of a mesh prepared for ray tests: each face as a corner and two edges, in
// face order, with a box around them all so that rays that miss it cost almost nothing.
#include <cstdint>
#include <vector>

#include "gfxutil/Vector3.h"
#include "platform/DeviceTypes.h"

namespace quarn::gfx {

class TriangleSet {
 public:
  TriangleSet() = default;
  TriangleSet(const std::vector<Vector3>& positions, const std::vector<uint16_t>& indices);

  // The nearest face that the ray origin + t * direction (t >= 0) meets, from either side.
  // *distance is t, in units of the direction's length. False when no face is met.
  bool Intersect(const Vector3& origin, const Vector3& direction, uint32_t* face,
                 float* distance) const;

  uint32_t FaceCount() const { return static_cast<uint32_t>(faces_.size()); }

 private:
  struct Face {
    Vector3 corner, edge1, edge2;
  };
  bool MayHitBox(const Vector3& origin, const Vector3& direction) const;

  std::vector<Face> faces_;
  Vector3 boxMin_, boxMax_;
};

}  // namespace quarn::gfx
