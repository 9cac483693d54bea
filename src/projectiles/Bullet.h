#pragma once
// A projectile: a solid that flies from a weapon port along its nose, optionally homing on a
// target with lead, detonating by proximity or at its range, with a flight particle, a trail
// and a burst at its end. Projectiles are pooled: mounted on a port, armed, launched, ended,
// and handed out again once their effects have died away.
#include <string>
#include <vector>

#include "units/Solid.h"

namespace quarn {

class Trajectory;

class Bullet : public Solid {
 public:
  explicit Bullet(StageServices* stage);
  ~Bullet() override;

  void Unload() override;
  // The launch: leaves the port along its axis with the spread, starts the flight effects and
  // enters the projectile registry.
  void Activate(int side) override;
  void Deactivate() override;
  // Not while mounted, nor while a flight effect or the burst still plays.
  bool IsFinished() const override;

  virtual bool LoadBullet(const std::string& file);
  // Rides on frame (drawn there when visible); null frees it from the port.
  virtual bool MountOnPort(Transform* frame, bool visible);
  virtual void Release();
  virtual void SetTarget(Model* target);
  virtual void SetLaunchVelocity(const gfx::Vector3& velocity);
  virtual void UpdateHoming();

  void Update() override;
  bool Cull(ViewCamera& camera, bool alphaPass) override;
  bool DrawNormal() override;
  bool DrawAlpha() override;
  bool CollectSpheres(std::vector<CollisionSphere>& list) override;
  bool CollectRays(std::vector<IntersectRay>& list) override;
  bool OnHit(Collider& other, const gfx::Vector3& hitPoint, const gfx::Vector3& push) override;
  bool OnGroundHit(GroundCollider& ground, int index, const gfx::Vector3& hitPoint,
                   const gfx::Vector3& push) override;

  void Arm() { armed_ = true; }
  bool IsArmed() const { return armed_; }
  bool IsMounted() const { return portFrame_ != nullptr; }
  bool HasTarget() const { return target_ != nullptr; }
  Model* GetTarget() const { return target_; }
  void Burst();

  float Speed() const { return speed_; }
  float Travelled() const { return travelled_; }
  float FuseDistance() const { return fuseDistance_; }
  float PitchRate() const { return pitchRate_; }
  float HeadRate() const { return headRate_; }
  float DisappearDistance() const { return disappearDistance_; }
  bool InRegistry() const { return inRegistry_; }
  Particle* FollowParticle() const { return followParticle_; }
  Trajectory* FollowTrail() const { return followTrail_; }
  Particle* BurstParticle() const { return burstParticle_; }

 protected:
  // One frame of powered flight: distance, fuse, range, turn, move, velocity estimate.
  void FlightStep();
  void StartFollowEffects();
  void SetSpeed(float speed) { speed_ = speed; }
  void ScaleTurnRates(float k) {
    pitchRate_ *= k;
    headRate_ *= k;
  }
  const gfx::Vector3& LaunchVelocity() const { return launchVelocity_; }

 private:
  // Ends the flight (burst as asked) unless it already ended this frame.
  void End(bool burst);
  void LeaveRegistry();

  bool lightingEnable_ = false;
  bool followParticleEnable_ = false;
  Particle* followParticle_ = nullptr;
  bool followTrailEnable_ = false;
  Trajectory* followTrail_ = nullptr;
  bool burstParticleEnable_ = false;
  Particle* burstParticle_ = nullptr;
  std::vector<gfx::Vector3> rayOrigins_;
  float rayReach_ = 0;  // the farthest ray origin from the body
  float fireVariability_ = 0;
  float disappearDistance_ = 0;
  bool disappearBurst_ = false;
  bool proximityFuse_ = false;
  float minFuse_ = 0;
  float maxFuse_ = 0;
  bool homing_ = false;
  float predictHomingRate_ = 0;
  float maxPitchRate_ = 0;
  float maxHeadRate_ = 0;
  Transform* portFrame_ = nullptr;
  Model* target_ = nullptr;
  bool armed_ = false;
  float travelled_ = 0;
  float speed_ = 0;
  float pitchRate_ = 0;
  float headRate_ = 0;
  float fuseDistance_ = 0;
  gfx::Vector3 launchVelocity_;
  bool inRegistry_ = false;
  bool ended_ = false;
};

}  // namespace quarn
