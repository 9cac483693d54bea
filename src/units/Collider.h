#pragma once
// An object as the collision manager sees it: spheres and rays to test, the test of its own
// collision mesh against another's rays, what happens when it is hit, and the force it deals.
#include <vector>

#include "gfxutil/Vector3.h"
#include "units/CollisionShapes.h"

namespace quarn {

class GroundCollider;

class Collider {
 public:
  virtual ~Collider() = default;
  // Append to list; true when the object took part (even with nothing to add).
  virtual bool CollectSpheres(std::vector<CollisionSphere>& list) = 0;
  virtual bool CollectRays(std::vector<IntersectRay>& list) = 0;
  // This object's collision mesh against other's rays; on a hit the world point and the
  // push that moves other's ray out of the surface.
  virtual bool TestCollision(Collider& other, gfx::Vector3* hitPoint, gfx::Vector3* push) = 0;
  virtual bool OnHit(Collider& other, const gfx::Vector3& hitPoint, const gfx::Vector3& push) = 0;
  virtual bool OnGroundHit(GroundCollider& ground, int index, const gfx::Vector3& hitPoint,
                           const gfx::Vector3& push) = 0;
  // The damage dealt to whatever this object hits.
  virtual float GetImpulsiveForce() = 0;

 protected:
  Collider() = default;
  Collider(const Collider&) = default;
  Collider& operator=(const Collider&) = default;
};

// The stage's ground as the collision manager sees it (it tests the ground list against it).
class GroundCollider {
 public:
  virtual ~GroundCollider() = default;
  // collider's rays against the ground's collision meshes; index: the mesh hit.
  virtual bool TestCollision(Collider& collider, gfx::Vector3* hitPoint, gfx::Vector3* push,
                             int* index) = 0;
  virtual bool Shatter(int index, const gfx::Vector3& point) = 0;
  virtual float GetImpulsiveForce(int index) const = 0;

 protected:
  GroundCollider() = default;
  GroundCollider(const GroundCollider&) = default;
  GroundCollider& operator=(const GroundCollider&) = default;
};

}  // namespace quarn
