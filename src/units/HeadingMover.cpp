#include "units/HeadingMover.h"

#include <cmath>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "units/SpeedModel.h"

namespace quarn {

namespace {
constexpr float kRadiansToDegrees = 57.2957763671875f;
}

HeadingMover::HeadingMover(StageServices* stage, const char* section)
    : Unit(stage), section_(section) {}

HeadingMover::~HeadingMover() = default;

bool HeadingMover::LoadUnit(const std::string& file) {
  if (!Unit::LoadUnit(file))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection(section_);
  minVelocity_ = def.GetFloat("MinVelocity", 0.0f);
  maxVelocity_ = def.GetFloat("MaxVelocity", 0.0f);
  acceleration_ = def.GetFloat("AccelerationVelocityDelta", 0.0f);
  deceleration_ = def.GetFloat("DecelerationVelocityDelta", 0.0f);
  maxHead_ = def.GetFloat("MaxHeadRotationally", 0.0f);
  return true;
}

void HeadingMover::Activate(int side) {
  speed_ = minVelocity_;
  headRate_ = 0.0f;
  Unit::Activate(side);
}

void HeadingMover::SetModeRecoverHeight() {}

void HeadingMover::SetHeadInput(float x) {
  headRate_ = x * maxHead_;
}

void HeadingMover::SetThrottleInput(float x) {
  const SpeedModel model{minVelocity_, maxVelocity_, acceleration_, deceleration_};
  speed_ = model.Next(speed_, x, Power());
  SetEngineThrottle(model.Fraction(speed_));
}

void HeadingMover::SteerToward(const gfx::Vector3& point) {
  const gfx::Vector3 local = LayoutFrame().WorldToLocalPoint(point);
  const float h = std::atan2(local.x, local.z) * kRadiansToDegrees;
  SetHeadInput(SteerCommand(h, maxHead_));
  SetThrottleInput(0.0f);
}

void HeadingMover::Sail() {
  Transform& frame = LayoutFrame();
  frame.RotateY(CombineMode::LocalAxes, headRate_ * kDegreesToRadians);
  frame.Translate(CombineMode::LocalAxes, {0.0f, 0.0f, speed_});
}

void HeadingMover::UpdateAlive() {
  UpdateMode();
  Sail();
}

void HeadingMover::StartCrash(float gravity, float mass) {
  SetGravity(gravity);
  SetMass(mass);
  SetLinearDrag(1.0f);
  SetAngularDrag(1.0f);
  const gfx::Vector3 forward = LayoutFrame().GetWorldMatrix().GetRow(2);
  SetLinearVelocity(forward * (speed_ * kUpdatesPerSecond));
}

}  // namespace quarn
