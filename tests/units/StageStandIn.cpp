#include "units/StageStandIn.h"

#include "engine/InputMappings.h"
#include "units/PlayerAircraft.h"

namespace quarn::testing {

StageStandIn::StageStandIn(SceneRig& rig) : cache(&rig.GetArchive()) {
  InstallSceneInput(SceneInput::StagePlay, &rig.Input(), &buttons);
  pool.SetScene(this);
  camera = std::make_unique<ChaseCamera>(this);
  camera->Start();
  areaCentre.SetParent(&root);
}

StageStandIn::~StageStandIn() {
  pool.Clear();
  camera.reset();
  ClearSceneInput(InputSystem::Instance());
  cache.ClearAll();
}

Unit* StageStandIn::FindUnit(int unitId) {
  if (unitId == -1)
    return player;
  auto it = units.find(unitId);
  return it == units.end() ? nullptr : it->second;
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

void StageStandIn::Step(int frames) {
  for (int i = 0; i < frames; ++i) {
    updates.UpdateAll();
    collisions.Pass();
  }
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  return text;
}

}  // namespace quarn::testing
