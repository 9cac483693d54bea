#pragma once
// A stage as its objects see it, for benchmarks: the real update, render and collision
// managers, registries and effect pool over an archive packed from the benchmark's own files,
// on a window without a screen and the null render device. The stage's own parts (unit
// lookup, the player, progress) are plain fields the benchmark sets.
#include <array>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BenchFolder.h"
#include "engine/Archive.h"
#include "engine/ButtonMap.h"
#include "engine/GraphicsDevice.h"
#include "engine/ResourceCache.h"
#include "engine/Window.h"
#include "render/RenderManager.h"
#include "render/Transform.h"
#include "stage/EffectPool.h"
#include "units/ChaseCamera.h"
#include "units/CollisionManager.h"
#include "units/StageServices.h"
#include "units/UpdateManager.h"

namespace quarn::bench {

class BenchStage : public StageServices {
 public:
  using Records = std::vector<std::pair<std::string, std::string>>;  // name, bytes

  explicit BenchStage(const Records& records);
  ~BenchStage() override;
  BenchStage(const BenchStage&) = delete;
  BenchStage& operator=(const BenchStage&) = delete;

  // False when the window, the null device or the archive could not be made.
  bool Ready() const { return ready_; }

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
  int AddProgressPoint(int index, int) override { return index; }
  void SetHudMessage(int) override {}
  void ApplyGroundFog() override {}
  void ApplySceneFog() override {}
  void Rumble(float, float) override {}
  void UnitBroken(const Unit&) override {}
  void UnitDestructed(const Unit&) override {}

 private:
  // Made first and gone last: everything below loads through them.
  BenchFolder folder_;
  Window window_;
  GraphicsDevice graphics_;
  Archive archive_;
  bool ready_ = false;

 public:
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
};

}  // namespace quarn::bench
