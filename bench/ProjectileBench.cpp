// Work: one frame of 2,000 live projectiles, each updated as the update manager does it:
// 1,000 gun shells (1500 units a second, no homing) and 1,000 homing missiles (ignited,
// accelerating to 700 units a second, with lead and a proximity fuse), each missile chasing one
// of 50 enemy drones that fly their behaviour modes over a combat area of 6000 x 1500 x 6000.
// Between timed frames the drones fly one frame and every projectile that ended (range, fuse)
// is launched again, so each timed frame has 2,000 in flight; shells are launched over the
// first 60 frames so that their ranges run out a few at a time. Reported: processor time per
// frame (target: at most 0.5 ms).
#include <benchmark/benchmark.h>

#include <vector>

#include "BenchTiming.h"
#include "CombatScene.h"
#include "projectiles/Gun.h"
#include "projectiles/Rocket.h"
#include "units/Side.h"
#include "units/Unit.h"

namespace {

using namespace quarn;
using namespace quarn::bench;

constexpr int kDrones = 50;
constexpr int kShells = 1000;
constexpr int kMissiles = 1000;
constexpr int kWarmUpFrames = 60;

class ProjectileScene {
 public:
  ProjectileScene() : scene_({{"Drone.txt", kDrones, false}}, false) {
    for (int i = 0; i < kShells; ++i)
      shells_.push_back(scene_.Stage().pool.AcquireGunBullet("Shell.txt", false));
    for (int i = 0; i < kMissiles; ++i) {
      missiles_.push_back(scene_.Stage().pool.AcquireRocket("Missile.txt", false));
      LaunchMissile(*missiles_.back());
    }
    for (int frame = 0; frame < kWarmUpFrames; ++frame) {
      for (int i = frame; i < kShells; i += kWarmUpFrames)
        LaunchShell(*shells_[static_cast<size_t>(i)]);
      Frame();
      Refill();
    }
  }

  // The live projectiles, in the order they fly.
  std::vector<Bullet*> Live() const {
    std::vector<Bullet*> live;
    for (Bullet* b : missiles_) {
      if (b->InRegistry())
        live.push_back(b);
    }
    for (Bullet* b : shells_) {
      if (b->InRegistry())
        live.push_back(b);
    }
    return live;
  }

  // The untimed part of a frame: the drones fly.
  void MoveTargets() {
    for (const auto& unit : scene_.Units())
      unit->Update();
  }

  // Launches again whatever ended.
  int Refill() {
    int launched = 0;
    for (Bullet* b : missiles_) {
      if (!b->InRegistry()) {
        LaunchMissile(*b);
        ++launched;
      }
    }
    for (Bullet* b : shells_) {
      if (!b->InRegistry()) {
        LaunchShell(*b);
        ++launched;
      }
    }
    return launched;
  }

 private:
  void Frame() {
    MoveTargets();
    for (Bullet* b : Live())
      b->Update();
  }
  void LaunchShell(Bullet& shell) {
    scene_.Launch(shell, scene_.RandomPoint(), scene_.RandomDirection(), nullptr, kPlayerSide);
  }
  void LaunchMissile(Bullet& missile) {
    std::uniform_int_distribution<size_t> pick(0, scene_.Units().size() - 1);
    Unit* target = scene_.Units()[pick(scene_.Random())].get();
    const gfx::Vector3 forward = scene_.RandomDirection();
    scene_.Launch(missile, scene_.RandomPoint(), forward, target, kPlayerSide, forward * 300.0f);
  }

  CombatScene scene_;
  std::vector<Bullet*> shells_;
  std::vector<Bullet*> missiles_;
};

void BM_ProjectileFrame(benchmark::State& state) {
  ProjectileScene scene;
  double live = 0;
  double relaunched = 0;
  for (auto _ : state) {
    scene.MoveTargets();
    const std::vector<Bullet*> flying = scene.Live();
    live += static_cast<double>(flying.size());
    const double start = ThreadCpuSeconds();
    for (Bullet* b : flying)
      b->Update();
    state.SetIterationTime(ThreadCpuSeconds() - start);
    relaunched += scene.Refill();
  }
  const double frames = static_cast<double>(state.iterations());
  state.counters["live"] = live / frames;
  state.counters["ended_per_frame"] = relaunched / frames;
}
BENCHMARK(BM_ProjectileFrame)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(600);

}  // namespace
