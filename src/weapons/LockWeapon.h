#pragma once
// The weapon that fires homing projectiles at targets locked beforehand: while its button is
// held it keeps one candidate in its cone for LockTime to lock it, collecting locks (several
// on one target too) up to what one shot launches; releasing the button hands each lock to a
// projectile. On the enemy side it selects a target but neither locks nor fires.
#include <vector>

#include "weapons/Weapon.h"

namespace quarn {

class LockWeapon : public Weapon {
 public:
  explicit LockWeapon(StageServices* stage);
  ~LockWeapon() override;

  using Weapon::Load;
  bool Load(const std::string& file, Container* owner) override;
  void Activate(int side) override;
  void UpdateAlive() override;
  void Fire() override;

  virtual void SetLocking(bool locking);
  virtual void UpdateLock();

  // The fewer of loaded projectiles and MaxFirableCount.
  int LockableCount() const;
  Target* Candidate() const { return candidate_; }
  // Lock timer over LockTime (0 for a LockTime of 0).
  float LockProgress() const;
  const std::vector<Target*>& Locked() const { return locked_; }
  bool Lockable(const Target& target) const;

 private:
  void ChooseCandidate();
  void DropLost();

  float lockDistance_ = 0;
  float lockAngle_ = 0;
  float lockTime_ = 0;
  bool antiGround_ = false;
  bool antiAir_ = false;
  Target* candidate_ = nullptr;
  float lockTimer_ = 0;
  std::vector<Target*> locked_;
  bool locking_ = false;
};

}  // namespace quarn
