#pragma once
// A particle system placed in a stage: the emitters of one particle file (smoke, fire,
// sparks...), a positional sound played at each start, and optionally a short-lived collision
// sphere (a blast that hurts). It leaves the stage by itself once nothing is emitting and no
// particle is left; its owner may start it again any number of times.
#include <memory>
#include <string>
#include <vector>

#include "render/ParticleEmitter.h"
#include "render/SoundEmitter.h"
#include "units/Model.h"

namespace quarn {

class Particle : public Model {
 public:
  explicit Particle(StageServices* stage);
  ~Particle() override;

  // False only when the file cannot be loaded (the system then has no emitters).
  // The model's own Load stays callable beside this file-only form.
  using Model::Load;
  bool Load(const std::string& file);
  void Unload() override;
  void Activate(int side) override;
  // Every emitter's timed emission, then Activate.
  void StartTimed(int side);
  // Every emitter emits until StopEmitting, then Activate.
  void StartContinuous(int side);
  // Live particles finish their lives.
  void StopEmitting();

  void Update() override;

  bool Cull(ViewCamera& camera, bool alphaPass) override;
  bool DrawNormal() override;
  bool DrawAlpha() override;

  bool CollectSpheres(std::vector<CollisionSphere>& list) override;
  bool TestCollision(Collider& other, gfx::Vector3* hitPoint, gfx::Vector3* push) override;
  bool OnHit(Collider& other, const gfx::Vector3& hitPoint, const gfx::Vector3& push) override;
  bool OnGroundHit(GroundCollider& ground, int index, const gfx::Vector3& hitPoint,
                   const gfx::Vector3& push) override;
  float GetImpulsiveForce() override { return impulsiveForce_; }

  const std::vector<std::unique_ptr<ParticleEmitter>>& Emitters() const { return emitters_; }
  bool HasSound() const { return soundEnable_; }
  float Elapsed() const { return elapsed_; }
  // Any emitter emitting or holding a particle.
  bool IsRunning() const;

 private:
  bool soundEnable_ = false;
  SoundEmitter sound_;
  std::vector<std::unique_ptr<ParticleEmitter>> emitters_;
  float collisionDistance_ = 0;
  float minCollisionTime_ = 0;
  float maxCollisionTime_ = 0;
  float impulsiveForce_ = 0;
  float elapsed_ = 0;
  std::vector<CollisionSphere> ownSpheres_, otherSpheres_;
};

}  // namespace quarn
