#pragma once
// A scene object with a look and a physical presence: an opaque and a translucent mesh, a
// collision mesh that others' rays are tested against, short rays of its own that probe
// others' collision meshes, a shatter particle played where it is hit, and the force it deals.
#include <memory>
#include <span>
#include <vector>

#include "render/MeshInstance.h"
#include "units/Model.h"

namespace quarn {

class Particle;
class ViewCamera;

class Solid : public Model {
 public:
  explicit Solid(StageServices* stage);
  ~Solid() override;

  bool Load(const std::string& file, int updatePriority, int collisionGroup,
            std::vector<int> collideGroups) override;
  // Waits for a shatter particle that is still playing.
  bool IsFinished() const override;
  // Plays the shatter particle at a world point.
  virtual void Shatter(const gfx::Vector3& point);

  bool Cull(ViewCamera& camera, bool alphaPass) override;
  bool DrawNormal() override;
  bool DrawAlpha() override;

  bool CollectSpheres(std::vector<CollisionSphere>& list) override;
  bool CollectRays(std::vector<IntersectRay>& list) override;
  bool TestCollision(Collider& other, gfx::Vector3* hitPoint, gfx::Vector3* push) override;
  bool OnHit(Collider& other, const gfx::Vector3& hitPoint, const gfx::Vector3& push) override;
  bool OnGroundHit(GroundCollider& ground, int index, const gfx::Vector3& hitPoint,
                   const gfx::Vector3& push) override;
  float GetImpulsiveForce() override { return impulsiveForce_; }

  bool HasNormalMesh() const { return normalMeshEnable_; }
  bool HasAlphaMesh() const { return alphaMeshEnable_; }
  bool HasCollisionMesh() const { return collisionMeshEnable_; }
  const MeshInstance& CollisionMesh() const { return collisionMesh_; }
  Particle* ShatterParticle() const { return shatterParticle_; }
  // The rays in the body's own axes, as loaded.
  const std::vector<IntersectRay>& Rays() const { return rays_; }

 protected:
  // The hit rule of solids: the first of other's rays that enters mesh (while a sphere of
  // this object overlaps one of other's) gives the hit point and the push.
  bool TestRaysAgainst(Collider& other, std::span<const MeshInstance* const> meshes,
                       gfx::Vector3* hitPoint, gfx::Vector3* push);
  // Binds a mesh from the cache to the body; false (the mesh counts as disabled) when it
  // cannot be loaded.
  bool BindMesh(MeshInstance* instance, const std::string& file);
  bool CullMesh(ViewCamera& camera, const MeshInstance& mesh) const;
  // Draws the alpha mesh with its own blending (additive or ordinary).
  bool DrawAlphaMesh();

  MeshInstance& NormalMesh() { return normalMesh_; }

 private:
  bool normalMeshEnable_ = false;
  MeshInstance normalMesh_;
  bool alphaMeshEnable_ = false;
  MeshInstance alphaMesh_;
  bool additiveBlend_ = false;
  bool collisionMeshEnable_ = false;
  MeshInstance collisionMesh_;
  bool shatterParticleEnable_ = false;
  Particle* shatterParticle_ = nullptr;  // from the effect pool, held
  std::vector<IntersectRay> rays_;
  float rayReach_ = 0;  // how far the rays reach from the body's origin
  float impulsiveForce_ = 0;

  // Scratch lists of the hit test, kept to avoid reallocating every frame.
  std::vector<CollisionSphere> ownSpheres_, otherSpheres_;
  std::vector<IntersectRay> otherRays_;
};

}  // namespace quarn
