#pragma once
// A stage as its objects see it, for tests: the real managers, registries and effect pool
// over a SceneRig's archive and null device, with the stage's own parts (unit lookup, the
// player, progress, messages, the log) kept in plain fields the tests read and set.
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/ButtonMap.h"
#include "engine/ResourceCache.h"
#include "game/SceneRig.h"
#include "render/RenderManager.h"
#include "render/Transform.h"
#include "stage/EffectPool.h"
#include "units/ChaseCamera.h"
#include "units/CollisionManager.h"
#include "units/StageServices.h"
#include "units/UpdateManager.h"

namespace quarn::testing {

class StageStandIn : public StageServices {
 public:
  // The rig's archive must be packed before the stand-in loads anything.
  explicit StageStandIn(SceneRig& rig);
  ~StageStandIn() override;

  Unit* FindUnit(int unitId) override;
  PlayerAircraft* Player() override { return player; }
  Transform& WorldRoot() override { return root; }
  Transform& AreaCentre() override { return areaCentre; }
  TargetRegistry& Targets() override { return targets; }
  TargetRegistry& SearchTargets() override { return searchTargets; }
  UnitRegistry& AreaUnits() override { return areaUnits; }
  ProjectileRegistry& Projectiles() override { return projectiles; }
  UpdateManager& Updates() override { return updates; }
  RenderManager& Renders() override { return renders; }
  CollisionManager& Collisions() override { return collisions; }
  EffectSource& Effects() override { return pool; }
  ResourceCache& Cache() override { return cache; }
  ChaseCamera* Camera() override { return camera.get(); }
  ButtonMap& Buttons() override { return buttons; }
  int AddProgressPoint(int index, int amount) override;
  void SetHudMessage(int n) override { messages.push_back(n); }
  void ApplyGroundFog() override { ++groundFogCalls; }
  void ApplySceneFog() override { ++sceneFogCalls; }
  void Rumble(float strength, float) override { rumbles.push_back(strength); }
  void UnitBroken(const Unit& unit) override;
  void UnitDestructed(const Unit& unit) override;

  // One stage frame without the mission: updates, then the collision pass.
  void Step(int frames = 1);

  UpdateManager updates;
  CollisionManager collisions;
  RenderManager renders;
  TargetRegistry targets, searchTargets;
  UnitRegistry areaUnits;
  ProjectileRegistry projectiles;
  Transform root;
  Transform areaCentre;
  ResourceCache cache;
  ButtonMap buttons;
  EffectPool pool;
  std::unique_ptr<ChaseCamera> camera;
  std::map<int, Unit*> units;
  PlayerAircraft* player = nullptr;
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
