#include "weapons/LockWeapon.h"

#include <algorithm>
#include <cmath>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "projectiles/Bullet.h"
#include "units/StageServices.h"

namespace quarn {

LockWeapon::LockWeapon(StageServices* stage) : Weapon(stage) {}

LockWeapon::~LockWeapon() = default;

bool LockWeapon::Load(const std::string& file, Container* owner) {
  if (!Weapon::Load(file, owner))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("LockWeapon");
  lockDistance_ = def.GetFloat("LockDistance", 0.0f);
  lockAngle_ = def.GetFloat("LockAngle", 0.0f);
  lockTime_ = def.GetFloat("LockTime", 0.0f);
  antiGround_ = def.GetBool("AntiGroundEnable", false);
  antiAir_ = def.GetBool("AntiAirEnable", false);
  return true;
}

void LockWeapon::Activate(int side) {
  candidate_ = nullptr;
  lockTimer_ = 0.0f;
  locked_.clear();
  locking_ = false;
  Weapon::Activate(side);
}

int LockWeapon::LockableCount() const {
  return std::min(LoadedCount(), MaxFirableCount());
}

float LockWeapon::LockProgress() const {
  if (std::fabs(lockTime_) <= 1e-8f)
    return 0.0f;
  return lockTimer_ / lockTime_;
}

bool LockWeapon::Lockable(const Target& target) const {
  return (antiGround_ && target.IsGroundTarget()) || (antiAir_ && target.IsAirTarget());
}

void LockWeapon::ChooseCandidate() {
  struct Choice {
    Target* target;
    long count;
    float distance;
    float angle;
  };
  bool found = false;
  Choice best{};
  for (Target* target : stage_->Targets().Items()) {
    if (!Lockable(*target) || !target->IsInPlay())
      continue;
    float distance = 0.0f, angle = 0.0f;
    MeasureTarget(*target, &distance, &angle);
    if (!(distance < lockDistance_) || !(angle < lockAngle_))
      continue;
    const Choice choice{target, std::count(locked_.begin(), locked_.end(), target), distance,
                        angle};
    // Fewest locks first, then the nearest, then the one closest to the nose; the first
    // listed of equal ones.
    const bool better = !found || choice.count < best.count ||
                        (choice.count == best.count &&
                         (choice.distance < best.distance ||
                          (choice.distance == best.distance && choice.angle < best.angle)));
    if (better) {
      best = choice;
      found = true;
    }
  }
  if (found) {
    candidate_ = best.target;
    lockTimer_ = 0.0f;
  }
}

void LockWeapon::SetLocking(bool locking) {
  locking_ = locking;
  if (!locking) {
    locked_.clear();
    candidate_ = nullptr;
    lockTimer_ = 0.0f;
    return;
  }
  const auto lockedCount = static_cast<long>(locked_.size());
  if (LoadedCount() >= MinFirableCount() && lockedCount < LoadedCount() &&
      lockedCount < MaxFirableCount()) {
    if (candidate_ == nullptr)
      ChooseCandidate();
  } else {
    candidate_ = nullptr;
    lockTimer_ = 0.0f;
  }
}

void LockWeapon::DropLost() {
  // Missiles are not fired at wrecks: locks on targets that left play go.
  if (candidate_ != nullptr && !candidate_->IsInPlay()) {
    candidate_ = nullptr;
    lockTimer_ = 0.0f;
  }
  locked_.erase(std::remove_if(locked_.begin(), locked_.end(),
                               [](const Target* t) { return !t->IsInPlay(); }),
                locked_.end());
}

void LockWeapon::UpdateLock() {
  if (candidate_ != nullptr) {
    float distance = 0.0f, angle = 0.0f;
    MeasureTarget(*candidate_, &distance, &angle);
    if (distance >= lockDistance_ || angle >= lockAngle_) {
      candidate_ = nullptr;
      lockTimer_ = 0.0f;
    } else {
      lockTimer_ += kFrameStep;
      if (lockTimer_ > lockTime_) {
        locked_.push_back(candidate_);
        candidate_ = nullptr;
        lockTimer_ = 0.0f;
      }
    }
  }
  const std::vector<Target*> copy = locked_;
  for (Target* target : copy) {
    float distance = 0.0f, angle = 0.0f;
    MeasureTarget(*target, &distance, &angle);
    if (distance > lockDistance_ || angle > lockAngle_) {
      auto it = std::find(locked_.begin(), locked_.end(), target);
      if (it != locked_.end())
        locked_.erase(it);
    }
  }
}

void LockWeapon::UpdateAlive() {
  DropLost();
  SelectTarget();
  if (AimRequested()) {
    Aim();
    ClearAimRequest();
  }
  if (locking_) {
    UpdateLock();
    locking_ = false;
  }
  Reload();
  if (FireRequested()) {
    Fire();
    ClearFireRequest();
  }
}

void LockWeapon::Fire() {
  std::vector<WeaponPort>& ports = MutablePorts();
  for (Target* target : locked_) {
    // A lock that finds no loaded port without a target is dropped.
    auto port = std::find_if(ports.begin(), ports.end(), [](const WeaponPort& p) {
      return p.projectile != nullptr && !p.projectile->HasTarget();
    });
    if (port == ports.end())
      break;
    port->projectile->SetTarget(target);
    port->projectile->Arm();
  }
  candidate_ = nullptr;
  lockTimer_ = 0.0f;
  locked_.clear();
  Weapon::Fire();
}

}  // namespace quarn
