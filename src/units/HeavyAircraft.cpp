#include "units/HeavyAircraft.h"

namespace quarn {

void HeavyAircraft::SteerToward(const gfx::Vector3& point) {
  SteerHeavy(LayoutFrame().WorldToLocalPoint(point));
}

}  // namespace quarn
