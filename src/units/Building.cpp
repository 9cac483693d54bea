#include "units/Building.h"

#include "engine/DefinitionFile.h"
#include "units/StageServices.h"

namespace quarn {

bool Building::LoadUnit(const std::string& file) {
  if (!Unit::LoadUnit(file))
    return false;
  Definition()->SelectSection("Building");
  return true;
}

void Building::SteerToward(const gfx::Vector3&) {}

bool Building::DrawNormal() {
  if (stage_ != nullptr)
    stage_->ApplyGroundFog();
  const bool drawn = Unit::DrawNormal();
  if (stage_ != nullptr)
    stage_->ApplySceneFog();
  return drawn;
}

bool Building::DrawAlpha() {
  if (stage_ != nullptr)
    stage_->ApplyGroundFog();
  const bool drawn = Unit::DrawAlpha();
  if (stage_ != nullptr)
    stage_->ApplySceneFog();
  return drawn;
}

}  // namespace quarn
