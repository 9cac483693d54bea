#include "weapons/ChargeWeapon.h"

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"

namespace quarn {

ChargeWeapon::ChargeWeapon(StageServices* stage) : Weapon(stage) {}

ChargeWeapon::~ChargeWeapon() = default;

bool ChargeWeapon::Load(const std::string& file, Container* owner) {
  if (!Weapon::Load(file, owner))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("ChargeWeapon");
  chargeTime_ = def.GetFloat("ChargeTime", 0.0f);
  fireDistance_ = def.GetFloat("FireDistance", 0.0f);
  fireAngle_ = def.GetFloat("FireAngle", 0.0f);
  return true;
}

void ChargeWeapon::Activate(int side) {
  charge_ = 0.0f;
  charging_ = false;
  Weapon::Activate(side);
}

void ChargeWeapon::ChargeStep() {
  charge_ += kFrameStep;
  if (charge_ > chargeTime_)
    charge_ = chargeTime_;
}

void ChargeWeapon::UpdateAlive() {
  SelectTarget();
  if (AimRequested()) {
    Aim();
    ClearAimRequest();
  }
  if (charging_) {
    ChargeStep();
    charging_ = false;
  } else {
    Reload();
  }
  if (FireRequested()) {
    Fire();
    ClearFireRequest();
  }
}

void ChargeWeapon::Fire() {
  if (charge_ >= chargeTime_) {
    ArmPortsForCurrentTarget();
    Weapon::Fire();
  }
  charge_ = 0.0f;
}

}  // namespace quarn
