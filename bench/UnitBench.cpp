// Work: one frame of UpdateManager::UpdateAll over 200 enemy aircraft of four parts each (a hull
// with two wing and two tail-plane components; 120 flown by the light rule, 80 by the heavy
// one), placed at random over a combat area of 6000 x 1500 x 6000 and flying their behaviour
// modes: toward a destination across the area, back into the area past AreaOuterDistance,
// back into the height band. 1,000 objects are updated: the units
// (mode, steering, speed, the turn and push on the layout frame, velocity estimate) and their
// parts (velocity estimate). No camera, ground or HUD hook. Reported: processor time per frame
// (target: at most 0.3 ms) and the share of units in each mode.
#include <benchmark/benchmark.h>

#include "BenchTiming.h"
#include "CombatScene.h"
#include "units/Unit.h"

namespace {

using namespace quarn;
using namespace quarn::bench;

constexpr int kWarmUpFrames = 300;

void BM_UnitFrame(benchmark::State& state) {
  CombatScene scene({{"Bomber.txt", 120, false}, {"Bomber.txt", 80, true}}, false);
  UpdateManager& updates = scene.Stage().updates;
  updates.SetCameraHook(nullptr);
  for (int frame = 0; frame < kWarmUpFrames; ++frame)
    updates.UpdateAll();
  double modes[5] = {};
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    updates.UpdateAll();
    state.SetIterationTime(ThreadCpuSeconds() - start);
    for (const auto& unit : scene.Units())
      modes[static_cast<int>(unit->Mode())] += 1;
  }
  const double samples = static_cast<double>(state.iterations() * scene.Units().size());
  state.counters["objects"] = static_cast<double>(updates.Size());
  state.counters["to_destination"] =
      modes[static_cast<int>(BehaviourMode::ToDestination)] / samples;
  state.counters["return_to_area"] = modes[static_cast<int>(BehaviourMode::ReturnToArea)] / samples;
  state.counters["recover_height"] =
      modes[static_cast<int>(BehaviourMode::RecoverHeight)] / samples;
}
BENCHMARK(BM_UnitFrame)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(900);

}  // namespace
