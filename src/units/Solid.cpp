#include "units/Solid.h"

#include <algorithm>

#include "engine/DefinitionFile.h"
#include "engine/ResourceCache.h"
#include "render/DeviceOrCurrent.h"
#include "render/Mesh.h"
#include "render/ViewCamera.h"
#include "units/EffectSource.h"
#include "units/Particle.h"
#include "units/RayHit.h"
#include "units/StageServices.h"

namespace quarn {

using gfx::Vector3;

Solid::Solid(StageServices* stage) : Model(stage) {}

Solid::~Solid() = default;

bool Solid::BindMesh(MeshInstance* instance, const std::string& file) {
  Mesh* mesh = stage_ != nullptr ? stage_->Cache().GetMesh(file) : nullptr;
  instance->SetMesh(mesh);
  instance->SetFrame(&body_);
  return mesh != nullptr;
}

bool Solid::Load(const std::string& file, int updatePriority, int collisionGroup,
                 std::vector<int> collideGroups) {
  if (!Model::Load(file, updatePriority, collisionGroup, std::move(collideGroups)))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("Solid");
  // A mesh that does not load counts as disabled: no draw, no sphere at the origin, no ray
  // test against nothing.
  normalMeshEnable_ = def.GetBool("NormalMeshEnable", false) &&
                      BindMesh(&normalMesh_, def.GetString("NormalMeshFile", ""));
  alphaMeshEnable_ = def.GetBool("AlphaMeshEnable", false) &&
                     BindMesh(&alphaMesh_, def.GetString("AlphaMeshFile", ""));
  if (def.GetBool("AlphaMeshEnable", false))
    additiveBlend_ = def.GetBool("AdditiveBlend", false);
  collisionMeshEnable_ = def.GetBool("CollisionMeshEnable", false) &&
                         BindMesh(&collisionMesh_, def.GetString("CollisionMeshFile", ""));
  shatterParticleEnable_ = def.GetBool("ShatterParticleEnable", false);
  const std::string shatterFile = def.GetString("ShatterParticleFile", "");
  const bool collision = def.GetBool("CollisionEnable", false);
  SetCollisionEnabled(collision);
  if (collision)
    impulsiveForce_ = def.GetFloat("ImpulsiveForce", 0.0f);
  SetGroundCollision(def.GetBool("GroundCollisionEnable", false));
  const int rays = def.GetCount("IntersectRayCount");
  rays_.clear();
  rayReach_ = 0.0f;
  for (int i = 0; i < rays; ++i) {
    const auto n = static_cast<unsigned>(i);
    const Vector3 start(def.GetFloat("IntersectRayStartPointX", n, 0.0f),
                        def.GetFloat("IntersectRayStartPointY", n, 0.0f),
                        def.GetFloat("IntersectRayStartPointZ", n, 0.0f));
    const Vector3 end(def.GetFloat("IntersectRayEndPointX", n, 0.0f),
                      def.GetFloat("IntersectRayEndPointY", n, 0.0f),
                      def.GetFloat("IntersectRayEndPointZ", n, 0.0f));
    rays_.push_back(IntersectRay::Between(start, end));
    rayReach_ = std::max(rayReach_, gfx::Vec3Length(start) + rays_.back().length);
  }
  // The pool may load the same file for this particle: read everything first.
  if (shatterParticleEnable_ && stage_ != nullptr) {
    shatterParticle_ = stage_->Effects().AcquireParticle(shatterFile, true);
    shatterParticle_->Hold();
    shatterParticle_->SetFinishWatcher(this);
    shatterParticle_->Body().SetParent(&body_);
  }
  return true;
}

bool Solid::IsFinished() const {
  if (shatterParticle_ != nullptr && shatterParticle_->IsActive())
    return false;
  return !IsActive();
}

void Solid::Shatter(const Vector3& point) {
  if (!shatterParticleEnable_ || shatterParticle_ == nullptr)
    return;
  shatterParticle_->Body().SetPosition(body_.WorldToLocalPoint(point));
  shatterParticle_->StartTimed(Side());
}

bool Solid::CullMesh(ViewCamera& camera, const MeshInstance& mesh) const {
  BoxCorners corners;
  if (!mesh.GetBoxCorners(&corners))
    return false;
  return camera.TestBox(corners);
}

bool Solid::Cull(ViewCamera& camera, bool alphaPass) {
  if (alphaPass)
    return alphaMeshEnable_ && CullMesh(camera, alphaMesh_);
  return normalMeshEnable_ && CullMesh(camera, normalMesh_);
}

bool Solid::DrawNormal() {
  return normalMeshEnable_ && normalMesh_.Draw();
}

bool Solid::DrawAlphaMesh() {
  if (!alphaMeshEnable_)
    return false;
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device != nullptr) {
    device->SetRenderState(platform::RenderState::SrcBlend, platform::Blend::SrcAlpha);
    device->SetRenderState(platform::RenderState::DestBlend,
                           additiveBlend_ ? platform::Blend::One : platform::Blend::InvSrcAlpha);
  }
  return alphaMesh_.Draw();
}

bool Solid::DrawAlpha() {
  return DrawAlphaMesh();
}

bool Solid::CollectSpheres(std::vector<CollisionSphere>& list) {
  if (collisionMeshEnable_) {
    CollisionSphere sphere;
    collisionMesh_.GetBoundingSphere(&sphere.centre, &sphere.radius);
    list.push_back(sphere);
  } else if (rayReach_ > 0.0f) {
    // Without a collision mesh the rays still probe others: a sphere round them lets the
    // pair be tested at all (it is never hit itself, having no mesh).
    list.push_back(CollisionSphere{WorldPosition(), rayReach_});
  }
  return true;
}

bool Solid::CollectRays(std::vector<IntersectRay>& list) {
  for (const IntersectRay& ray : rays_) {
    list.push_back(IntersectRay{body_.LocalToWorldPoint(ray.start),
                                body_.LocalToWorldVector(ray.direction), ray.length});
  }
  return true;
}

bool Solid::TestRaysAgainst(Collider& other, std::span<const MeshInstance* const> meshes,
                            Vector3* hitPoint, Vector3* push) {
  ownSpheres_.clear();
  otherSpheres_.clear();
  CollectSpheres(ownSpheres_);
  other.CollectSpheres(otherSpheres_);
  bool overlap = false;
  for (const CollisionSphere& a : ownSpheres_) {
    for (const CollisionSphere& b : otherSpheres_) {
      if (a.radius + b.radius > gfx::Vec3Length(a.centre - b.centre)) {
        overlap = true;
        break;
      }
    }
    if (overlap)
      break;
  }
  // Every overlapping pair tries the same rays, so the first one decides.
  if (!overlap || meshes.empty())
    return false;
  otherRays_.clear();
  other.CollectRays(otherRays_);
  return FirstRayHit(otherRays_, meshes, hitPoint, push);
}

bool Solid::TestCollision(Collider& other, Vector3* hitPoint, Vector3* push) {
  if (!collisionMeshEnable_)
    return false;
  // A list of one on the stack: the test runs for many pairs a frame.
  const MeshInstance* const mesh = &collisionMesh_;
  return TestRaysAgainst(other, {&mesh, 1}, hitPoint, push);
}

bool Solid::OnHit(Collider&, const Vector3& hitPoint, const Vector3&) {
  Shatter(hitPoint);
  return true;
}

bool Solid::OnGroundHit(GroundCollider&, int, const Vector3& hitPoint, const Vector3&) {
  Shatter(hitPoint);
  return true;
}

}  // namespace quarn
