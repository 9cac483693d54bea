#pragma once
// A building: it stands where it is placed and draws with the ground's fog distances, so
// that it fades into the distance with the terrain it stands on.
#include "units/Unit.h"

namespace quarn {

class Building : public Unit {
 public:
  explicit Building(StageServices* stage) : Unit(stage) {}

  bool LoadUnit(const std::string& file) override;
  void SteerToward(const gfx::Vector3& point) override;
  bool DrawNormal() override;
  bool DrawAlpha() override;
};

}  // namespace quarn
