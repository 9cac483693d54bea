#pragma once
// A computer-flown fighter: it rolls its target over its head and pulls toward it.
#include "units/Aircraft.h"

namespace quarn {

class LightAircraft : public Aircraft {
 public:
  explicit LightAircraft(StageServices* stage) : Aircraft(stage) {}
  void SteerToward(const gfx::Vector3& point) override;
};

}  // namespace quarn
