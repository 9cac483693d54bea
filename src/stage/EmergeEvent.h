#pragma once
// One mission event of a stage: conditions on the stage time, the eight progress counters and
// the broken or destroyed state of named units, all joined by AND; when they hold it brings
// its units into play (once) and may complete the mission.
#include <array>
#include <string>
#include <vector>

namespace quarn {

class DefinitionFile;
class StageServices;
class Unit;

class EmergeEvent {
 public:
  static constexpr int kProgressConditions = 8;
  static constexpr int kUnitConditions = 32;

  // Reads the "Emerge" section selected in stage; unit references are looked up at once (a
  // UnitID with no unit can never hold; one that names no unit is left out of the list).
  void Load(DefinitionFile& stage, StageServices& scene);
  // Whether every enabled condition holds now.
  bool Ready(float stageTime, const std::array<int, 8>& progress) const;

  bool done = false;
  bool laterTimeEnable = false;
  float laterTime = 0;
  bool soonerTimeEnable = false;
  float soonerTime = 0;
  std::array<bool, kProgressConditions> greaterEnable{};
  std::array<int, kProgressConditions> greater{};
  std::array<bool, kProgressConditions> lessEnable{};
  std::array<int, kProgressConditions> less{};
  std::array<bool, kUnitConditions> breakEnable{};
  std::array<Unit*, kUnitConditions> breakUnit{};
  std::array<bool, kUnitConditions> destructEnable{};
  std::array<Unit*, kUnitConditions> destructUnit{};
  std::array<bool, kUnitConditions> unbreakEnable{};
  std::array<Unit*, kUnitConditions> unbreakUnit{};
  std::array<bool, kUnitConditions> undestructEnable{};
  std::array<Unit*, kUnitConditions> undestructUnit{};
  bool missionComplete = false;
  std::vector<Unit*> units;
  std::vector<int> unitIds;  // of the units above, for the stage log
};

}  // namespace quarn
