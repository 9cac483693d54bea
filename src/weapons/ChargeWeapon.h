#pragma once
// The weapon that must be charged before it fires: the charge grows while the button is held,
// up to ChargeTime; on release a full charge fires every loaded port, and the charge is lost
// either way. The magazine does not reload while charging.
#include "weapons/Weapon.h"

namespace quarn {

class ChargeWeapon : public Weapon {
 public:
  explicit ChargeWeapon(StageServices* stage);
  ~ChargeWeapon() override;

  using Weapon::Load;
  bool Load(const std::string& file, Container* owner) override;
  void Activate(int side) override;
  void UpdateAlive() override;
  void Fire() override;

  virtual void SetCharging(bool charging) { charging_ = charging; }
  virtual void ChargeStep();

  float Charge() const { return charge_; }
  float ChargeTime() const { return chargeTime_; }
  float FireDistance() const { return fireDistance_; }
  float FireAngle() const { return fireAngle_; }

 private:
  float chargeTime_ = 0;
  float fireDistance_ = 0;  // kept from the file; this kind does not use it
  float fireAngle_ = 0;
  float charge_ = 0;
  bool charging_ = false;
};

}  // namespace quarn
