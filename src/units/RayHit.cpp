#include "units/RayHit.h"

#include "render/MeshInstance.h"

namespace quarn {

gfx::Vector3 SurfacePush(const IntersectRay& ray, float d, const gfx::Vector3& n) {
  const gfx::Vector3 hit = ray.start + ray.direction * d;
  const gfx::Vector3 p = gfx::Vec3Dot(n, ray.direction) < 0.0f
                             ? hit - (ray.start + ray.direction * ray.length)
                             : hit - ray.start;
  // Along the normal, whichever way the surface faces: a face toward -x pushes toward -x.
  return n * gfx::Vec3Dot(p, n);
}

bool FirstRayHit(const std::vector<IntersectRay>& rays,
                 const std::vector<const MeshInstance*>& meshes, gfx::Vector3* hitPoint,
                 gfx::Vector3* push) {
  return FirstRayHit(rays, std::span<const MeshInstance* const>(meshes), hitPoint, push);
}

bool FirstRayHit(const std::vector<IntersectRay>& rays, std::span<const MeshInstance* const> meshes,
                 gfx::Vector3* hitPoint, gfx::Vector3* push) {
  for (const IntersectRay& ray : rays) {
    // A ray whose ends coincide never hits (and has no direction to hit with).
    if (!(ray.length > 0.0f) || ray.direction == gfx::Vector3())
      continue;
    for (const MeshInstance* mesh : meshes) {
      float d = 0.0f;
      gfx::Vector3 normal;
      if (!mesh->IntersectRay(ray.start, ray.direction, &d, &normal) || !(d < ray.length))
        continue;
      *hitPoint = ray.start + ray.direction * d;
      *push = SurfacePush(ray, d, normal);
      return true;
    }
  }
  return false;
}

}  // namespace quarn
