#pragma once
// The weapon that fires while its trigger is held, at most once per interval: the player's
// guns, and the turrets of enemy units, which fire on their own when the player comes within
// range and in front of the muzzle.
#include "weapons/Weapon.h"

namespace quarn {

class RapidWeapon : public Weapon {
 public:
  explicit RapidWeapon(StageServices* stage);
  ~RapidWeapon() override;

  using Weapon::Load;
  bool Load(const std::string& file, Container* owner) override;
  void Activate(int side) override;
  void UpdateAlive() override;
  void Fire() override;
  void SelectPlayerTarget() override;

  float IntervalTime() const { return intervalTime_; }
  float FireTimer() const { return fireTimer_; }

 private:
  float intervalTime_ = 0;
  float fireDistance_ = 0;
  float fireAngle_ = 0;
  float fireTimer_ = 0;
};

}  // namespace quarn
