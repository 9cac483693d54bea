#pragma once
// The hit rule of rays against collision meshes, shared by solids and the ground: the first
// ray (then the first mesh) that meets a surface before its end decides; the hit point is
// where it met, and the push moves the ray's owner back out of the surface along its normal.
#include <span>
#include <vector>

#include "gfxutil/Vector3.h"
#include "units/CollisionShapes.h"

namespace quarn {

class MeshInstance;

bool FirstRayHit(const std::vector<IntersectRay>& rays, std::span<const MeshInstance* const> meshes,
                 gfx::Vector3* hitPoint, gfx::Vector3* push);
bool FirstRayHit(const std::vector<IntersectRay>& rays,
                 const std::vector<const MeshInstance*>& meshes, gfx::Vector3* hitPoint,
                 gfx::Vector3* push);

// The push for a ray that met a surface of normal n at distance d: the part of the ray beyond
// the surface (the whole ray for a back face), projected onto the normal.
gfx::Vector3 SurfacePush(const IntersectRay& ray, float d, const gfx::Vector3& n);

}  // namespace quarn
