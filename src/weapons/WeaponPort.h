#pragma once
// A firing port of a weapon: a node on the turret's pitch part and the projectile loaded
// there (null while empty).
#include <memory>

#include "render/Transform.h"

namespace quarn {

class Bullet;

struct WeaponPort {
  std::unique_ptr<Transform> frame = std::make_unique<Transform>();
  Bullet* projectile = nullptr;  // from the effect pool, not owned
};

}  // namespace quarn
