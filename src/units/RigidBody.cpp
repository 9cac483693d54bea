#include "units/RigidBody.h"

namespace quarn {

RigidBody::RigidBody(StageServices* stage) : stage_(stage) {}

RigidBody::~RigidBody() = default;

void RigidBody::Unload() {}

void RigidBody::AddForce(const gfx::Vector3& v) {
  forces_.push_back(body_.LocalToWorldVector(v));
}

void RigidBody::AddTorque(const gfx::Vector3& v) {
  torques_.push_back(v);
}

void RigidBody::Integrate(float dt) {
  gfx::Vector3 torque = -angularDrag_ * angularVelocity_;
  for (const gfx::Vector3& t : torques_)
    torque += t;
  const gfx::Vector3 alpha = mass_ != 0.0f ? torque / mass_ : gfx::Vector3();
  angularVelocity_ += alpha * dt;
  body_.RotateX(CombineMode::LocalAxes, dt * angularVelocity_.x);
  body_.RotateY(CombineMode::LocalAxes, dt * angularVelocity_.y);
  body_.RotateZ(CombineMode::LocalAxes, dt * angularVelocity_.z);
  torques_.clear();

  gfx::Vector3 force = -linearDrag_ * linearVelocity_ + gfx::Vector3(0, -gravity_ * mass_, 0);
  for (const gfx::Vector3& f : forces_)
    force += f;
  const gfx::Vector3 a = mass_ != 0.0f ? force / mass_ : gfx::Vector3();
  linearVelocity_ += a * dt;
  SetWorldPosition(WorldPosition() + linearVelocity_ * dt);
  forces_.clear();
}

gfx::Vector3 RigidBody::WorldPosition() const {
  return body_.GetWorldMatrix().GetRow(3);
}

gfx::Vector3 RigidBody::WorldForward() const {
  return body_.GetWorldMatrix().GetRow(2);
}

void RigidBody::SetWorldPosition(const gfx::Vector3& p) {
  // The root of the hierarchy is the world (the stage's root never moves).
  Transform* parent = body_.GetParent();
  if (parent == nullptr) {
    body_.SetPosition(p);
    return;
  }
  body_.SetPosition(parent->WorldToLocalPoint(p));
}

}  // namespace quarn
