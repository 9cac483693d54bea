#include "projectiles/Gun.h"

#include "engine/DefinitionFile.h"

namespace quarn {

Gun::Gun(StageServices* stage) : Bullet(stage) {}

Gun::~Gun() = default;

bool Gun::LoadBullet(const std::string& file) {
  if (!Bullet::LoadBullet(file))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("Gun");
  initialVelocity_ = def.GetFloat("InitialVelocity", 0.0f);
  return true;
}

void Gun::Activate(int side) {
  Bullet::Activate(side);
  SetSpeed(initialVelocity_);
}

void Gun::Update() {
  UpdateHoming();
  FlightStep();
}

}  // namespace quarn
