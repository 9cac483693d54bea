#pragma once
// The terrain of a stage: an endless floor of one mesh on a 3 x 3 grid that follows the
// camera in whole steps of 10000, an opaque and a translucent mesh, and invisible collision
// meshes, each with a shatter particle and the force it deals to what strikes it. It draws
// first in each pass, with fog distances of its own.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "render/GroundDrawer.h"
#include "render/MeshInstance.h"
#include "units/Collider.h"
#include "units/RigidBody.h"
#include "units/Updatable.h"

namespace quarn {

class Particle;

class Ground : public RigidBody, public GroundDrawer, public GroundCollider, public Updatable {
 public:
  static constexpr float kTileSize = 10000.0f;

  struct Collision {
    MeshInstance mesh;
    bool shatter = false;
    Particle* particle = nullptr;  // from the effect pool, held
    float impulsiveForce = 0;
  };

  explicit Ground(StageServices* stage);
  ~Ground() override;

  void Unload() override;
  virtual bool Load(const std::string& file);
  // Keeps the camera over the centre tile, one step per axis per frame.
  void Update() override;
  bool DrawNormal() override;
  bool DrawAlpha() override;
  bool TestCollision(Collider& collider, gfx::Vector3* hitPoint, gfx::Vector3* push,
                     int* index) override;
  bool Shatter(int index, const gfx::Vector3& point) override;
  float GetImpulsiveForce(int index) const override;
  // The device fog start and end of the ground (buildings draw with them too).
  void ApplyFogDistances() const;

  const Transform& RepeatFrame() const { return repeatFrame_; }
  const std::vector<std::unique_ptr<Collision>>& Collisions() const { return collisions_; }
  float FogStart() const { return fogStart_; }
  float FogEnd() const { return fogEnd_; }

 private:
  void Register();
  void Unregister();

  bool repeatMeshEnable_ = false;
  Transform repeatFrame_;
  std::array<MeshInstance, 9> tiles_;
  std::array<Transform, 9> tileFrames_;
  bool normalMeshEnable_ = false;
  MeshInstance normalMesh_;
  bool alphaMeshEnable_ = false;
  MeshInstance alphaMesh_;
  bool additiveBlend_ = false;
  std::vector<std::unique_ptr<Collision>> collisions_;
  float fogStart_ = 0;
  float fogEnd_ = 0;
  bool loaded_ = false;
  std::vector<CollisionSphere> spheres_;
  std::vector<IntersectRay> rays_;
};

}  // namespace quarn
