#include "units/LightAircraft.h"

namespace quarn {

void LightAircraft::SteerToward(const gfx::Vector3& point) {
  SteerLight(LayoutFrame().WorldToLocalPoint(point));
}

}  // namespace quarn
