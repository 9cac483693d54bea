#pragma once
// The root of everything placed in a stage: a body node with velocities, pending forces and
// torques, gravity, mass and drags, and the hold counter of pooled objects. Forces are given
// in the body's own axes; torques are (pitch, head, bank).
#include <vector>

#include "gfxutil/Vector3.h"
#include "render/Transform.h"

namespace quarn {

class StageServices;

class RigidBody {
 public:
  // stage: the stage the object lives in (not owned; may be null for a body used alone).
  explicit RigidBody(StageServices* stage = nullptr);
  virtual ~RigidBody();
  RigidBody(const RigidBody&) = delete;
  RigidBody& operator=(const RigidBody&) = delete;

  // Lets go of children and loaded resources.
  virtual void Unload();
  // v in the body's local axes; kept (in world axes) until the next Integrate.
  virtual void AddForce(const gfx::Vector3& v);
  // (pitch, head, bank), kept until the next Integrate.
  virtual void AddTorque(const gfx::Vector3& v);
  // One physics step. With mass 0 nothing accelerates: forces, torques, gravity and drags are
  // dropped and the velocities stay as they are.
  virtual void Integrate(float dt);

  Transform& Body() { return body_; }
  const Transform& Body() const { return body_; }
  StageServices* Stage() const { return stage_; }

  void SetGravity(float gravity) { gravity_ = gravity; }
  void SetMass(float mass) { mass_ = mass; }
  void SetLinearDrag(float drag) { linearDrag_ = drag; }
  void SetAngularDrag(float drag) { angularDrag_ = drag; }
  float Gravity() const { return gravity_; }
  float Mass() const { return mass_; }
  const gfx::Vector3& LinearVelocity() const { return linearVelocity_; }
  const gfx::Vector3& AngularVelocity() const { return angularVelocity_; }
  void SetLinearVelocity(const gfx::Vector3& v) { linearVelocity_ = v; }
  void SetAngularVelocity(const gfx::Vector3& v) { angularVelocity_ = v; }

  // The body's origin and axes in world space.
  gfx::Vector3 WorldPosition() const;
  gfx::Vector3 WorldForward() const;
  void SetWorldPosition(const gfx::Vector3& p);

  // The effect pool never hands out a held object again; nothing lowers the count.
  void Hold() { ++holdCount_; }
  bool IsHeld() const { return holdCount_ != 0; }

 protected:
  StageServices* stage_;
  Transform body_;

 private:
  float gravity_ = 0;
  float mass_ = 0;
  float linearDrag_ = 0;
  float angularDrag_ = 0;
  gfx::Vector3 linearVelocity_;
  gfx::Vector3 angularVelocity_;  // pitch, head, bank in radians per second
  std::vector<gfx::Vector3> forces_;
  std::vector<gfx::Vector3> torques_;
  int holdCount_ = 0;
};

}  // namespace quarn
