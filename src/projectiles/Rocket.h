#pragma once
// Rockets and missiles: dropped from the launcher, they fall freely with a slight random
// tumble until their motor ignites, then fly along the nose accelerating to a final speed,
// homing (when asked) with a turn rate that grows with their speed.
#include "projectiles/Bullet.h"

namespace quarn {

class Rocket : public Bullet {
 public:
  explicit Rocket(StageServices* stage);
  ~Rocket() override;

  bool LoadBullet(const std::string& file) override;
  void Activate(int side) override;
  void Update() override;

  bool IsIgnited() const { return ignited_; }
  float IgnitionDelay() const { return ignitionDelay_; }
  float DropTime() const { return dropTime_; }
  float FinalVelocity() const { return finalVelocity_; }

 private:
  float dispersion_ = 0;
  float finalVelocity_ = 0;
  float velocityDelta_ = 0;
  float minIgnitionTime_ = 0;
  float maxIgnitionTime_ = 0;
  float ignitionDelay_ = 0;
  bool ignited_ = false;
  float dropTime_ = 0;
};

}  // namespace quarn
