#include "projectiles/Rocket.h"

#include <cmath>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "engine/RandomGenerator.h"

namespace quarn {

namespace {
constexpr float kRandScale = 0.000030518509f;
}

Rocket::Rocket(StageServices* stage) : Bullet(stage) {}

Rocket::~Rocket() = default;

bool Rocket::LoadBullet(const std::string& file) {
  if (!Bullet::LoadBullet(file))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("Rocket");
  dispersion_ = def.GetFloat("Dispersion", 0.0f);
  finalVelocity_ = def.GetFloat("FinalVelocity", 0.0f);
  velocityDelta_ = def.GetFloat("VelocityDelta", 0.0f);
  minIgnitionTime_ = def.GetFloat("MinIgnitionTime", 0.0f);
  maxIgnitionTime_ = def.GetFloat("MaxIgnitionTime", 0.0f);
  return true;
}

void Rocket::Activate(int side) {
  Bullet::Activate(side);
  ignitionDelay_ = minIgnitionTime_ +
                   static_cast<float>(Rand()) * kRandScale * (maxIgnitionTime_ - minIgnitionTime_);
  ignited_ = false;
  dropTime_ = 0.0f;
  SetGravity(8.0f);
  SetMass(10.0f);
  SetLinearDrag(1.0f);
  SetAngularDrag(1.0f);
  SetLinearVelocity(LaunchVelocity());
  // The last flight's spin is not this one's.
  SetAngularVelocity({});
  const float a = static_cast<float>(Rand()) * kRandScale * dispersion_ - dispersion_ * 0.5f;
  const float b = static_cast<float>(Rand()) * kRandScale * dispersion_ - dispersion_ * 0.5f;
  AddTorque({b, a, 0.0f});
}

void Rocket::Update() {
  if (!ignited_) {
    dropTime_ += kFrameStep;
    if (dropTime_ >= ignitionDelay_) {
      ignited_ = true;
      SetSpeed(body_.WorldToLocalVector(LinearVelocity()).z);
      StartFollowEffects();
    }
    Integrate(kFrameStep);
    // Powered flight's first estimate measures one frame, not the whole drop.
    RestartVelocityEstimate();
    return;
  }
  float speed = Speed() + velocityDelta_ * kFrameStep;
  if (speed > finalVelocity_)
    speed = finalVelocity_;
  SetSpeed(speed);
  UpdateHoming();
  const float k = std::fabs(finalVelocity_) > 1e-8f ? speed / finalVelocity_ : 0.0f;
  ScaleTurnRates(k);
  FlightStep();
}

}  // namespace quarn
