#pragma once
// The constant-speed projectile: shells and rounds that fly at their InitialVelocity.
#include "projectiles/Bullet.h"

namespace quarn {

class Gun : public Bullet {
 public:
  explicit Gun(StageServices* stage);
  ~Gun() override;

  bool LoadBullet(const std::string& file) override;
  void Activate(int side) override;
  void Update() override;

  float InitialVelocity() const { return initialVelocity_; }

 private:
  float initialVelocity_ = 0;
};

}  // namespace quarn
