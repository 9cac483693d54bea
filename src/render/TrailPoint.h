#pragma once
// One record of a trail: a point dropped in world space, or a break between two ribbon
// segments (which carries no data).
#include "gfxutil/Vector3.h"
#include "platform/DeviceTypes.h"

namespace quarn {

struct TrailPoint {
  int segmentBreak = 0;   // 1: a break record, 0: a point
  float life = 0;         // seconds left
  gfx::Vector3 position;  // world
  platform::ColorValue colour;
  float size = 0;  // ribbon width
};

}  // namespace quarn
