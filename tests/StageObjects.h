#pragma once
// The objects' side of a stage without the mission: the real update, render and collision
// managers, the registries, the effect pool and the chase camera, with the stage's own parts
// (unit lookup, the player) in plain fields. Unit tests, fuzz targets and benchmarks build
// their stages on it and override the hooks they watch.
#include <map>
#include <memory>

#include "engine/ButtonMap.h"
#include "engine/ResourceCache.h"
#include "render/RenderManager.h"
#include "render/Transform.h"
#include "stage/EffectPool.h"
#include "units/ChaseCamera.h"
#include "units/CollisionManager.h"
#include "units/PlayerAircraft.h"
#include "units/StageServices.h"
#include "units/UpdateManager.h"

namespace quarn::testing {

class StageObjects : public StageServices {
 public:
  // archive and device (null: the current graphics device) must exist before this is made:
  // the camera starts at once.
  explicit StageObjects(Archive* archive, platform::RenderDevice* device = nullptr)
      : renders(device), cache(archive) {
    pool.SetScene(this);
    camera = std::make_unique<ChaseCamera>(this, device);
    camera->Start();
    areaCentre.SetParent(&root);
  }
  ~StageObjects() override {
    pool.Clear();
    camera.reset();
    cache.ClearAll();
  }
  StageObjects(const StageObjects&) = delete;
  StageObjects& operator=(const StageObjects&) = delete;

  Unit* FindUnit(int unitId) override {
    if (unitId == -1)
      return player;
    auto it = units.find(unitId);
    return it == units.end() ? nullptr : it->second;
  }
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

  // One stage frame: the updates, then the collision pass.
  void Step(int frames = 1) {
    for (int i = 0; i < frames; ++i) {
      updates.UpdateAll();
      collisions.Pass();
    }
  }

  UpdateManager updates;
  CollisionManager collisions;
  RenderManager renders;
  TargetRegistry targets, searchTargets;
  UnitRegistry areaUnits;
  ProjectileRegistry projectiles;
  Transform root, areaCentre;
  ResourceCache cache;
  ButtonMap buttons;
  EffectPool pool;
  std::unique_ptr<ChaseCamera> camera;
  std::map<int, Unit*> units;
  PlayerAircraft* player = nullptr;
};

}  // namespace quarn::testing
