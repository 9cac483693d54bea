#include "CombatScene.h"

#include <cmath>

#include "engine/DefinitionFile.h"
#include "projectiles/Bullet.h"
#include "units/HeavyAircraft.h"
#include "units/LightAircraft.h"
#include "units/PlayerAircraft.h"
#include "units/Side.h"

namespace quarn::bench {

namespace {
constexpr float kHalfWidth = 3000;
constexpr float kLowest = 100, kHighest = 1600;
}  // namespace

gfx::Vector3 CombatScene::RandomPoint() {
  std::uniform_real_distribution<float> across(-kHalfWidth, kHalfWidth);
  std::uniform_real_distribution<float> up(kLowest, kHighest);
  const float x = across(random_);
  const float y = up(random_);
  return {x, y, across(random_)};
}

gfx::Vector3 CombatScene::RandomDirection() {
  std::uniform_real_distribution<float> unit(-1, 1);
  for (;;) {
    const gfx::Vector3 d(unit(random_), unit(random_), unit(random_));
    const float length = gfx::Vec3Length(d);
    if (length > 0.1f && length <= 1.0f)
      return d / length;
  }
}

CombatScene::CombatScene(const std::vector<UnitPlan>& plans, bool withPlayer, uint32_t seed)
    : random_(seed) {
  std::vector<std::string> stageLines;
  int unitId = 0;
  std::uniform_real_distribution<float> heading(-180, 180);
  for (const UnitPlan& plan : plans) {
    for (int i = 0; i < plan.count; ++i, ++unitId) {
      const gfx::Vector3 at = RandomPoint();
      const std::vector<std::string> lines = PlacementLines(
          "Unit_" + std::to_string(unitId), unitId, plan.file, at.x, at.y, at.z, heading(random_));
      stageLines.insert(stageLines.end(), lines.begin(), lines.end());
    }
  }
  stageLines.insert(stageLines.end(),
                    {"[PlayerAircraft]", "LayoutPositionY=800", "AreaOuterDistance=5000",
                     "AreaInnerDistance=4000", "MinHeight=50", "MaxHeight=2000"});
  Records files = CombatFiles();
  files.emplace_back("Stage.txt", DefinitionText(stageLines));
  stage_ = std::make_unique<BenchStage>(files);
  port_.SetParent(&stage_->root);
  DefinitionFile* stageFile = stage_->cache.GetDefinition("Stage.txt");
  if (!stage_->Ready() || stageFile == nullptr)
    return;
  if (withPlayer) {
    player_ = std::make_unique<PlayerAircraft>(stage_.get());
    stageFile->SelectSection("PlayerAircraft");
    player_->LoadPlayer("Player.txt", "", "", *stageFile);
    stage_->player = player_.get();
    player_->StartPlayer();
  }
  unitId = 0;
  for (const UnitPlan& plan : plans) {
    for (int i = 0; i < plan.count; ++i, ++unitId) {
      std::unique_ptr<Unit> unit;
      if (plan.heavy)
        unit = std::make_unique<HeavyAircraft>(stage_.get());
      else
        unit = std::make_unique<LightAircraft>(stage_.get());
      stageFile->SelectSection("Unit", static_cast<unsigned>(unitId));
      unit->LoadPlacement(*stageFile);
      stage_->units[unit->UnitId()] = unit.get();
      unit->Activate(kEnemySide);
      unit->SetMode(BehaviourMode::ToDestination);
      units_.push_back(std::move(unit));
    }
  }
}

CombatScene::~CombatScene() {
  // Objects leave the stage's services before the stage goes.
  stage_->units.clear();
  units_.clear();
  if (player_ != nullptr) {
    stage_->player = nullptr;
    player_->Unload();
    player_.reset();
  }
  port_.SetParent(nullptr);
  stage_.reset();
}

void CombatScene::Launch(Bullet& projectile, const gfx::Vector3& at, const gfx::Vector3& forward,
                         Model* target, int side, const gfx::Vector3& launchVelocity) {
  port_.SetPosition(at);
  port_.SetOrientation(forward,
                       std::abs(forward.y) < 0.9f ? gfx::Vector3(0, 1, 0) : gfx::Vector3(1, 0, 0));
  projectile.MountOnPort(&port_, false);
  projectile.SetTarget(target);
  projectile.Arm();
  projectile.SetLaunchVelocity(launchVelocity);
  projectile.Activate(side);
  projectile.MountOnPort(nullptr, false);
}

}  // namespace quarn::bench
