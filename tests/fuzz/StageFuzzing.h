#pragma once
// What the fuzz targets of stage objects share: the input as a definition file filed in a
// resource cache under "Fuzz.txt" (every file an object names resolves to it or to nothing),
// and a stage of real managers and effect pool on the null render device.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/ButtonMap.h"
#include "engine/DefinitionFile.h"
#include "engine/ResourceCache.h"
#include "platform/NullRenderDevice.h"
#include "render/RenderManager.h"
#include "render/Transform.h"
#include "stage/EffectPool.h"
#include "units/ChaseCamera.h"
#include "units/CollisionManager.h"
#include "units/StageServices.h"
#include "units/UpdateManager.h"

namespace quarn::fuzzing {

inline constexpr const char* kFile = "Fuzz.txt";

// The fuzzer's bytes as the definition file of that name in cache.
inline void FileInput(ResourceCache& cache, const uint8_t* data, size_t size) {
  auto file = std::make_unique<DefinitionFile>();
  file->SetName(kFile);
  file->Parse(DefinitionFile::ApplyBlockRule(std::string(reinterpret_cast<const char*>(data), size)));
  cache.Adopt(ResourceCache::Kind::Definition, kFile, std::move(file));
}

class FuzzStage : public StageServices {
 public:
  FuzzStage(const uint8_t* data, size_t size) : renders(&device) {
    FileInput(cache, data, size);
    pool.SetScene(this);
    camera = std::make_unique<ChaseCamera>(this, &device);
    camera->Start();
    areaCentre.SetParent(&root);
  }
  ~FuzzStage() override {
    pool.Clear();
    camera.reset();
  }

  Unit* FindUnit(int) override { return nullptr; }
  PlayerAircraft* Player() override { return nullptr; }
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

  // Updates, collisions and a drawn frame.
  void Step() {
    updates.UpdateAll();
    collisions.Pass();
    renders.Render();
    device.ClearDraws();
  }

  platform::NullRenderDevice device;
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
};

}  // namespace quarn::fuzzing
