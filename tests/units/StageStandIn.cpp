#include "units/StageStandIn.h"

#include "engine/InputMappings.h"

namespace quarn::testing {

StageStandIn::StageStandIn(SceneRig& rig) : StageObjects(&rig.GetArchive()) {
  InstallSceneInput(SceneInput::StagePlay, &rig.Input(), &buttons);
}

StageStandIn::~StageStandIn() {
  ClearSceneInput(InputSystem::Instance());
}

int StageStandIn::AddProgressPoint(int index, int amount) {
  if (index >= 0 && index < 8)
    progress[static_cast<size_t>(index)] += amount;
  return index;
}

void StageStandIn::UnitBroken(const Unit& unit) {
  log.push_back("broken " + std::to_string(unit.UnitId()));
}

void StageStandIn::UnitDestructed(const Unit& unit) {
  log.push_back("destructed " + std::to_string(unit.UnitId()));
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  return text;
}

}  // namespace quarn::testing
