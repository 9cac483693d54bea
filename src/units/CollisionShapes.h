#pragma once
// The shapes colliders hand the collision manager: bounding spheres (tested first, cheaply)
// and short ray segments (tested against collision meshes), both in world space.
#include "gfxutil/Vector3.h"

namespace quarn {

struct CollisionSphere {
  gfx::Vector3 centre;
  float radius = 0;
};

// A segment from start along a unit direction; a zero length never hits.
struct IntersectRay {
  gfx::Vector3 start;
  gfx::Vector3 direction;
  float length = 0;

  // The segment from start to end; equal points give a zero length and no direction.
  static IntersectRay Between(const gfx::Vector3& start, const gfx::Vector3& end);
};

}  // namespace quarn
