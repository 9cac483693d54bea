#include "stage/EmergeEvent.h"

#include <algorithm>

#include "engine/DefinitionFile.h"
#include "platform/Diagnostics.h"
#include "units/StageServices.h"
#include "units/Unit.h"

namespace quarn {

namespace {
// A condition on a UnitID that no unit has can never hold: said once, as a likely mistake.
void ReadUnitConditions(DefinitionFile& stage, StageServices& scene, const char* enableKey,
                        const char* idKey, std::array<bool, EmergeEvent::kUnitConditions>* enable,
                        std::array<Unit*, EmergeEvent::kUnitConditions>* units) {
  for (unsigned j = 0; j < enable->size(); ++j) {
    (*enable)[j] = stage.GetBool(enableKey, j, false);
    (*units)[j] = nullptr;
    if (!(*enable)[j])
      continue;
    const int id = stage.GetInt(idKey, j, 0);
    (*units)[j] = scene.FindUnit(id);
    if ((*units)[j] == nullptr) {
      platform::ReportProblem(
          stage.Name() + " [" + stage.CurrentSection() + "] " +
              DefinitionFile::IndexedName(idKey, j),
          "names UnitID " + std::to_string(id) + ", which no unit has: the event can never fire");
    }
  }
}
}  // namespace

void EmergeEvent::Load(DefinitionFile& stage, StageServices& scene) {
  const std::string where = stage.Name() + " [" + stage.CurrentSection() + "]";
  laterTimeEnable = stage.GetBool("LaterTimeEnable", false);
  if (laterTimeEnable)
    laterTime = stage.GetFloat("LaterTime", 0.0f);
  soonerTimeEnable = stage.GetBool("SoonerTimeEnable", false);
  if (soonerTimeEnable)
    soonerTime = stage.GetFloat("SoonerTime", 0.0f);
  for (unsigned i = 0; i < greater.size(); ++i) {
    greaterEnable[i] = stage.GetBool("GreaterProgressPointEnable", i, false);
    if (greaterEnable[i])
      greater[i] = stage.GetInt("GreaterProgressPoint", i, 0);
    lessEnable[i] = stage.GetBool("LessProgressPointEnable", i, false);
    if (lessEnable[i])
      less[i] = stage.GetInt("LessProgressPoint", i, 0);
  }
  ReadUnitConditions(stage, scene, "BreakUnitEnable", "BreakUnitID", &breakEnable, &breakUnit);
  ReadUnitConditions(stage, scene, "DestructUnitEnable", "DestructUnitID", &destructEnable,
                     &destructUnit);
  ReadUnitConditions(stage, scene, "UnbreakUnitEnable", "UnbreakUnitID", &unbreakEnable,
                     &unbreakUnit);
  ReadUnitConditions(stage, scene, "UndestructUnitEnable", "UndestructUnitID", &undestructEnable,
                     &undestructUnit);
  missionComplete = stage.GetBool("MissionComplete", false);
  const int count = stage.GetCount("UnitCount");
  for (int m = 0; m < count; ++m) {
    const int id = stage.GetInt("UnitID", static_cast<unsigned>(m), 0);
    // The player is never brought in by an event: that would put it on the enemy side.
    if (id == -1) {
      platform::ReportProblem(where + " UnitID_" + std::to_string(m),
                              "names the player (-1), who is always in play; left out");
      continue;
    }
    Unit* unit = scene.FindUnit(id);
    if (unit == nullptr) {
      platform::ReportProblem(where + " UnitID_" + std::to_string(m),
                              "names UnitID " + std::to_string(id) + ", which no unit has");
      continue;
    }
    if (std::find(units.begin(), units.end(), unit) != units.end()) {
      platform::ReportProblem(where + " UnitID_" + std::to_string(m),
                              "names UnitID " + std::to_string(id) + " a second time");
      continue;
    }
    units.push_back(unit);
    unitIds.push_back(id);
  }
}

bool EmergeEvent::Ready(float stageTime, const std::array<int, 8>& progress) const {
  if (laterTimeEnable && !(stageTime >= laterTime))
    return false;
  if (soonerTimeEnable && !(stageTime <= soonerTime))
    return false;
  for (int i = 0; i < kProgressConditions; ++i) {
    if (greaterEnable[i] && !(progress[i] >= greater[i]))
      return false;
    if (lessEnable[i] && !(progress[i] <= less[i]))
      return false;
  }
  for (int j = 0; j < kUnitConditions; ++j) {
    if (breakEnable[j] && (breakUnit[j] == nullptr || !breakUnit[j]->IsBroken()))
      return false;
  }
  for (int j = 0; j < kUnitConditions; ++j) {
    if (destructEnable[j] && (destructUnit[j] == nullptr || !destructUnit[j]->IsDestructed()))
      return false;
  }
  for (int j = 0; j < kUnitConditions; ++j) {
    if (unbreakEnable[j] && (unbreakUnit[j] == nullptr || unbreakUnit[j]->IsBroken()))
      return false;
  }
  for (int j = 0; j < kUnitConditions; ++j) {
    if (undestructEnable[j] && (undestructUnit[j] == nullptr || undestructUnit[j]->IsDestructed()))
      return false;
  }
  return true;
}

}  // namespace quarn
