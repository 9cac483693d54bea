// Work: one frame of 200 rapid-fire turrets (head and barrel on limits and turn rates, lead
// aiming at 1200 units a second), each updated as the update manager does it, over a combat
// area of 6000 x 1500 x 6000 that holds the player's aircraft flying a circle of radius 500 by
// its centre and 50 enemy drones flying their behaviour modes, nearly all of them within the
// turrets' SightDistance of 5000 ("with_target" counts the turrets that have one). On the
// enemy side (BM_EnemyTurretFrame; target at most 0.3 ms) each turret selects the player,
// requests aim, checks FireDistance (never met: the turrets only aim) and turns toward the lead
// point. On the player's side (BM_PlayerSideTurretFrame) each chooses the drone nearest its
// muzzle line among the 50 and aims at it, the aim requested every frame as the player's
// aircraft does. The player and the drones move between timed frames. Reported: processor time
// per frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "BenchTiming.h"
#include "CombatScene.h"
#include "units/PlayerAircraft.h"
#include "units/Side.h"
#include "units/Unit.h"
#include "weapons/RapidWeapon.h"

namespace {

using namespace quarn;
using namespace quarn::bench;

constexpr int kTurrets = 200;
constexpr int kDrones = 50;
constexpr int kWarmUpFrames = 30;

class TurretScene {
 public:
  explicit TurretScene(int side) : scene_({{"Drone.txt", kDrones, false}}, true), side_(side) {
    BenchStage& stage = scene_.Stage();
    for (int i = 0; i < kTurrets; ++i) {
      auto turret = std::make_unique<RapidWeapon>(&stage);
      turret->Load("Turret.txt", nullptr);
      turret->Body().SetParent(&stage.root);
      turret->Body().SetPosition(scene_.RandomPoint());
      turret->Body().RotateY(CombineMode::LocalAxes, static_cast<float>(i));
      turret->Activate(side);
      turrets_.push_back(std::move(turret));
    }
    for (int frame = 0; frame < kWarmUpFrames; ++frame) {
      MoveTargets();
      Frame();
    }
  }

  // The untimed part of a frame: the player flies its circle, the drones their modes.
  void MoveTargets() {
    PlayerAircraft* player = scene_.Stage().player;
    Transform& frame = player->LayoutFrame();
    // A circle of radius 500: only turrets in the area's far corners lose sight of it.
    frame.RotateY(CombineMode::LocalAxes, 0.02f);
    frame.Translate(CombineMode::LocalAxes, {0, 0, 10});
    player->SetVelocityEstimate(player->WorldForward() * (10.0f * 30.0f));
    for (const auto& unit : scene_.Units())
      unit->Update();
  }

  void Frame() {
    for (const auto& turret : turrets_) {
      if (side_ == kPlayerSide)
        turret->RequestAim();
      turret->Update();
    }
  }

  // Turrets that have a target this frame.
  int Aiming() const {
    int aiming = 0;
    for (const auto& turret : turrets_)
      aiming += turret->CurrentTarget() != nullptr ? 1 : 0;
    return aiming;
  }

 private:
  CombatScene scene_;
  int side_;
  std::vector<std::unique_ptr<RapidWeapon>> turrets_;
};

void TurretFrames(benchmark::State& state, int side) {
  TurretScene scene(side);
  double aiming = 0;
  for (auto _ : state) {
    scene.MoveTargets();
    const double start = ThreadCpuSeconds();
    scene.Frame();
    state.SetIterationTime(ThreadCpuSeconds() - start);
    aiming += scene.Aiming();
  }
  state.counters["with_target"] = aiming / static_cast<double>(state.iterations());
}

void BM_EnemyTurretFrame(benchmark::State& state) {
  TurretFrames(state, kEnemySide);
}
BENCHMARK(BM_EnemyTurretFrame)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(900);

void BM_PlayerSideTurretFrame(benchmark::State& state) {
  TurretFrames(state, kPlayerSide);
}
BENCHMARK(BM_PlayerSideTurretFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(900);

}  // namespace
