#include "weapons/RapidWeapon.h"

#include <algorithm>
#include <cmath>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"

namespace quarn {

namespace {
constexpr double kRadiansToDegrees = 57.29577791868205;
}

RapidWeapon::RapidWeapon(StageServices* stage) : Weapon(stage) {}

RapidWeapon::~RapidWeapon() = default;

bool RapidWeapon::Load(const std::string& file, Container* owner) {
  if (!Weapon::Load(file, owner))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("RapidWeapon");
  intervalTime_ = def.GetFloat("RapidFireIntervalTime", 0.0f);
  fireDistance_ = def.GetFloat("FireDistance", 0.0f);
  fireAngle_ = def.GetFloat("FireAngle", 0.0f);
  return true;
}

void RapidWeapon::Activate(int side) {
  fireTimer_ = intervalTime_;
  Weapon::Activate(side);
}

void RapidWeapon::UpdateAlive() {
  SelectTarget();
  fireTimer_ += kFrameStep;
  if (AimRequested()) {
    Aim();
    ClearAimRequest();
  }
  if (FireRequested()) {
    Fire();
    ClearFireRequest();
  } else {
    Reload();
  }
}

void RapidWeapon::Fire() {
  if (!(fireTimer_ > intervalTime_))
    return;
  ArmPortsForCurrentTarget();
  const int before = LoadedCount();
  Weapon::Fire();
  if (LoadedCount() < before)
    fireTimer_ = 0.0f;
}

void RapidWeapon::SelectPlayerTarget() {
  Weapon::SelectPlayerTarget();
  RequestAim();
  Target* target = CurrentTarget();
  if (target == nullptr || LoadedCount() < MinFirableCount())
    return;
  const gfx::Vector3 local = PitchFrame().WorldToLocalPoint(target->WorldPosition());
  if (!(gfx::Vec3Length(local) < fireDistance_))
    return;
  const float z = std::clamp(gfx::Vec3Normalize(local).z, -1.0f, 1.0f);
  if (std::acos(static_cast<double>(z)) * kRadiansToDegrees < fireAngle_)
    RequestFire();
}

}  // namespace quarn
