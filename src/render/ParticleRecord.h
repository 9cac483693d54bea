#pragma once
// One live particle: what it was born with. Everything else (where it is, its colour, size and
// animation frame) follows in closed form from its age.
#include "gfxutil/Vector3.h"
#include "platform/DeviceTypes.h"

namespace quarn {

struct ParticleRecord {
  float age = 0;           // seconds
  unsigned variation = 0;  // texture row
  gfx::Vector3 birth;      // world
  gfx::Vector3 direction;  // unit, world
  float speed = 0;         // along direction, units per second
  platform::ColorValue colour;
  float size = 0;  // quad edge
};

}  // namespace quarn
