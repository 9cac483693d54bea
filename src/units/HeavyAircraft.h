#pragma once
// A computer-flown bomber or transport: flat turns at constant height.
#include "units/Aircraft.h"

namespace quarn {

class HeavyAircraft : public Aircraft {
 public:
  explicit HeavyAircraft(StageServices* stage) : Aircraft(stage) {}
  void SteerToward(const gfx::Vector3& point) override;
};

}  // namespace quarn
