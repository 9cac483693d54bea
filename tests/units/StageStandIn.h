#pragma once
// A stage as its objects see it, for tests: the real managers over a SceneRig's archive and
// null device, with what objects tell the stage (progress, messages, the log) kept in plain
// fields the tests read.
#include <array>
#include <string>
#include <vector>

#include "StageObjects.h"
#include "game/SceneRig.h"

namespace quarn::testing {

class StageStandIn : public StageObjects {
 public:
  // The rig's archive must be packed before the stand-in loads anything.
  explicit StageStandIn(SceneRig& rig);
  ~StageStandIn() override;

  int AddProgressPoint(int index, int amount) override;
  void SetHudMessage(int n) override { messages.push_back(n); }
  void ApplyGroundFog() override { ++groundFogCalls; }
  void ApplySceneFog() override { ++sceneFogCalls; }
  void Rumble(float strength, float) override { rumbles.push_back(strength); }
  void UnitBroken(const Unit& unit) override;
  void UnitDestructed(const Unit& unit) override;

  std::array<int, 8> progress{};
  std::vector<int> messages;
  std::vector<float> rumbles;
  std::vector<std::string> log;  // "broken 3", "destructed 3"
  int groundFogCalls = 0;
  int sceneFogCalls = 0;
};

// Definition-file text of the given lines (CR LF ends).
std::string Lines(const std::vector<std::string>& lines);

}  // namespace quarn::testing
