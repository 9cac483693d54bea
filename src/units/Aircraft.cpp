#include "units/Aircraft.h"

#include <cmath>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "engine/RandomGenerator.h"
#include "units/SpeedModel.h"

namespace quarn {

namespace {
constexpr float kRadiansToDegrees = 57.2957763671875f;
}

Aircraft::Aircraft(StageServices* stage) : Unit(stage) {}

Aircraft::~Aircraft() = default;

bool Aircraft::LoadUnit(const std::string& file) {
  if (!Unit::LoadUnit(file))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("Aircraft");
  minVelocity_ = def.GetFloat("MinVelocity", 0.0f);
  maxVelocity_ = def.GetFloat("MaxVelocity", 0.0f);
  acceleration_ = def.GetFloat("AccelerationVelocityDelta", 0.0f);
  deceleration_ = def.GetFloat("DecelerationVelocityDelta", 0.0f);
  maxUpPitch_ = def.GetFloat("MaxUpPitchRotationally", 0.0f);
  maxDownPitch_ = def.GetFloat("MaxDownPitchRotationally", 0.0f);
  maxHead_ = def.GetFloat("MaxHeadRotationally", 0.0f);
  maxBank_ = def.GetFloat("MaxBankRotationally", 0.0f);
  crashEventIndex_ = def.GetInt("CrashEventIndex", 0);
  return true;
}

void Aircraft::Activate(int side) {
  speed_ = minVelocity_;
  pitchRate_ = headRate_ = bankRate_ = 0.0f;
  travelled_ = 0.0f;
  SetGravity(0.0f);
  SetMass(1.0f);
  SetLinearDrag(10.0f);
  SetAngularDrag(10.0f);
  SetLinearVelocity({});
  SetAngularVelocity({});
  Unit::Activate(side);
}

void Aircraft::SetPitchInput(float x) {
  pitchRate_ = x * (x > 0.0f ? maxUpPitch_ : maxDownPitch_);
}

void Aircraft::SetHeadInput(float x) {
  headRate_ = x * maxHead_;
}

void Aircraft::SetBankInput(float x) {
  bankRate_ = x * maxBank_;
}

void Aircraft::SetThrottleInput(float x) {
  const SpeedModel model{minVelocity_, maxVelocity_, acceleration_, deceleration_};
  speed_ = model.Next(speed_, x, Power());
  SetEngineThrottle(model.Fraction(speed_));
}

void Aircraft::Fly() {
  Transform& frame = LayoutFrame();
  frame.RotateX(CombineMode::LocalAxes, -pitchRate_ * kDegreesToRadians);
  frame.RotateY(CombineMode::LocalAxes, headRate_ * kDegreesToRadians);
  frame.RotateZ(CombineMode::LocalAxes, -bankRate_ * kDegreesToRadians);
  frame.Translate(CombineMode::LocalAxes, {0.0f, 0.0f, speed_});
  travelled_ += speed_;
}

void Aircraft::UpdateAlive() {
  UpdateMode();
  Integrate(kFrameStep);
  Fly();
}

void Aircraft::UpdateBreaking() {
  Integrate(kFrameStep);
  Fly();
  StepBreakTimer();
}

void Aircraft::UpdateDestructing() {
  Integrate(kFrameStep);
  Unit::UpdateDestructing();
}

void Aircraft::Destruct() {
  const LifeState state = GetLifeState();
  if (state == LifeState::Alive || state == LifeState::Breaking) {
    SetGravity(2.0f);
    SetMass(100.0f);
    SetLinearDrag(1.0f);
    SetAngularDrag(1.0f);
    const gfx::Vector3 forward = LayoutFrame().GetWorldMatrix().GetRow(2);
    SetLinearVelocity(forward * (speed_ * kUpdatesPerSecond));
    // Bank is drawn first, then head, then pitch.
    const float bank = static_cast<float>(Rand()) / 32767.0f;
    const float head = static_cast<float>(Rand()) / 32767.0f;
    const float pitch = static_cast<float>(Rand()) / 32767.0f;
    AddTorque({pitch * 400.0f - 200.0f, head * 400.0f - 200.0f, bank * 1000.0f - 500.0f});
  }
  Unit::Destruct();
}

void Aircraft::JumpToCrashEvent() {
  if (GetLifeState() != LifeState::Destructing || crashEventIndex_ < 0)
    return;
  const auto crash = static_cast<size_t>(crashEventIndex_);
  // An index outside the event list is ignored.
  if (crash < DestructEvents().size() && CurrentEventIndex() < crash)
    StartEvent(crash);
}

bool Aircraft::OnHit(Collider& other, const gfx::Vector3& hitPoint, const gfx::Vector3& push) {
  SetWorldPosition(WorldPosition() + push);
  JumpToCrashEvent();
  return Unit::OnHit(other, hitPoint, push);
}

bool Aircraft::OnGroundHit(GroundCollider& ground, int index, const gfx::Vector3& hitPoint,
                           const gfx::Vector3& push) {
  SetWorldPosition(WorldPosition() + push);
  TakeDamage(ground.GetImpulsiveForce(index));
  JumpToCrashEvent();
  Shatter(hitPoint);
  return true;
}

void Aircraft::SteerLight(const gfx::Vector3& local) {
  const float b = std::atan2(local.x, local.y) * kRadiansToDegrees;
  SetBankInput(SteerCommand(b, maxBank_));
  const float e = 2.5f - std::atan2(local.y, local.z) * kRadiansToDegrees;
  SetPitchInput(-SteerCommand(e, maxUpPitch_));
  SetThrottleInput(0.0f);
}

void Aircraft::SteerHeavy(const gfx::Vector3& local) {
  const float h = std::atan2(local.x, local.z) * kRadiansToDegrees;
  SetHeadInput(SteerCommand(h, maxHead_));
  SetThrottleInput(0.0f);
}

}  // namespace quarn
