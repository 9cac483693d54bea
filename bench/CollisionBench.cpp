// Work: the contacts of one collision pass (CollisionManager::CollectContacts, the tests
// without the deliveries, so that every pass sees the same scene) over a combat area of
// 6000 x 1500 x 6000: 200 enemy fighters, each a hull with two wing components and two turrets
// (head and barrel meshes), so 1,000 enemy colliders tested against the player's aircraft and
// 2,000 of the player's shells in flight. 1,800 shells are spread over the area, 200 sit in
// the fighters' parts, so that the pass finds real contacts. Reported: processor time of the
// pass with the broad phase (target: at most 1 ms) and pair by pair, as the plain rule reads,
// on the same scene; "contacts" counts what the pass found (the two must agree).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "BenchTiming.h"
#include "CombatScene.h"
#include "projectiles/Gun.h"
#include "units/Container.h"
#include "units/Side.h"
#include "units/Unit.h"

namespace {

using namespace quarn;
using namespace quarn::bench;

constexpr int kFighters = 200;
constexpr int kShells = 2000;
constexpr int kShellsInParts = 200;

struct CollisionScene {
  CollisionScene() : scene({{"Fighter.txt", kFighters, false}}, true) {
    // Every collider of the fighters: hulls and their four parts.
    std::vector<Container*> parts;
    for (const auto& unit : scene.Units()) {
      parts.push_back(unit.get());
      for (Container* child : unit->Children())
        parts.push_back(child);
    }
    std::uniform_int_distribution<size_t> pick(0, parts.size() - 1);
    for (int i = 0; i < kShells; ++i) {
      Gun* shell = scene.Stage().pool.AcquireGunBullet("Shell.txt", false);
      const gfx::Vector3 at =
          i < kShellsInParts ? parts[pick(scene.Random())]->WorldPosition() : scene.RandomPoint();
      scene.Launch(*shell, at, scene.RandomDirection(), nullptr, kPlayerSide);
    }
  }
  CombatScene scene;
};

void CollisionPass(benchmark::State& state, bool broadPhase) {
  CollisionScene setup;
  CollisionManager& collisions = setup.scene.Stage().collisions;
  size_t contacts = 0;
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    const std::vector<CollisionManager::Contact> found = collisions.CollectContacts(broadPhase);
    state.SetIterationTime(ThreadCpuSeconds() - start);
    contacts = found.size();
  }
  state.counters["contacts"] = static_cast<double>(contacts);
  state.counters["colliders"] = static_cast<double>(setup.scene.Stage().projectiles.Size() +
                                                    setup.scene.Units().size() * 5 + 1);
}

void BM_CollisionPass(benchmark::State& state) {
  CollisionPass(state, true);
}
BENCHMARK(BM_CollisionPass)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(300);

void BM_CollisionPassPairByPair(benchmark::State& state) {
  CollisionPass(state, false);
}
BENCHMARK(BM_CollisionPassPairByPair)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
